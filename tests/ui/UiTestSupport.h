#pragma once

// What the widget tests share: a fresh settings store per test, a runner
// that answers every modal dialog and message box from a queue of handlers
// instead of a real modal loop, a recording message box, and helpers that
// work the real widgets.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/MessageBoxSeam.h"
#include "app/ModalDialog.h"
#include "dialogs/RegistryAccess.h"

// Where RAVELLE_COM1 points unless a test says otherwise: nothing is there,
// so a serial send fails at once.
inline constexpr const char* kMissingPort = "/nonexistent/ravelle-test-port";

struct CShownBox {
  std::string text;
  std::string caption;
};

class CRecordingMessageBoxes : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon) override {
    shown.push_back({text, caption});
  }
  std::vector<CShownBox> shown;
};

class CUiTest : public testing::Test {
 protected:
  using Handler = std::function<int(QDialog&)>;

  void SetUp() override {
    ASSERT_TRUE(configHome_.isValid());
    qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8());
    qputenv("RAVELLE_COM1", kMissingPort);
    qunsetenv("RAVELLE_COM2");
    CModalDialog::SetRunner([this](QDialog& dialog) { return RunDialog(dialog); });
  }

  void TearDown() override {
    CModalDialog::SetRunner({});
    EXPECT_TRUE(handlers_.empty()) << handlers_.size() << " expected dialog(s) never opened";
  }

  // The next modal run is answered by handler, which drives the dialog's
  // widgets and returns its result.
  void ExpectDialog(Handler handler) { handlers_.push_back(std::move(handler)); }

  template <class Dialog>
  void ExpectDialogOf(std::function<int(Dialog&)> handler) {
    ExpectDialog([handler](QDialog& dialog) {
      auto* typed = dynamic_cast<Dialog*>(&dialog);
      EXPECT_NE(typed, nullptr) << "a different dialog opened";
      return typed ? handler(*typed) : int(QDialog::Rejected);
    });
  }

  QString ConfigHome() const { return configHome_.path(); }

  // Message boxes shown through the Qt seam, answered with OK.
  std::vector<CShownBox> qtBoxes;
  int dialogsRun = 0;

  static void WriteString(const char* name, const std::string& value) {
    CRegistryAccess registry;
    ASSERT_TRUE(registry.WriteValue(value.c_str(), REG_SZ,
                                    static_cast<std::uint32_t>(value.size() + 1), HKEY_CURRENT_USER,
                                    kSettingsWriteKey, name));
  }
  static void WriteInteger(const char* name, std::int32_t value) {
    CRegistryAccess registry;
    ASSERT_TRUE(
        registry.WriteValue(&value, REG_DWORD, 4, HKEY_CURRENT_USER, kSettingsWriteKey, name));
  }
  static std::string ReadString(const char* name) {
    CRegistryAccess registry;
    char buffer[1000] = {};
    if (!registry.ReadValue(buffer, nullptr, sizeof buffer - 1, HKEY_CURRENT_USER, kSettingsKey,
                            name)) {
      return "<missing>";
    }
    return buffer;
  }
  static std::int32_t ReadInteger(const char* name) {
    CRegistryAccess registry;
    std::int32_t value = -12345;
    registry.ReadValue(&value, nullptr, 4, HKEY_CURRENT_USER, kSettingsKey, name);
    return value;
  }
  // A complete saved serial setting, so start-up opens no dialog.
  static void SaveSerialSettings() {
    WriteString("Protocol", "alpha");
    WriteString("Connection", "serial port - betabrite classic");
    WriteInteger("ComPort", 1);
    WriteInteger("BaudRate", 9600);
    WriteInteger("ByteSize", 7);
    WriteString("Parity", "even");
    WriteInteger("StopBits", 1);
  }

 private:
  int RunDialog(QDialog& dialog) {
    ++dialogsRun;
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      qtBoxes.push_back({box->text().toStdString(), box->windowTitle().toStdString()});
      return QMessageBox::Ok;
    }
    if (handlers_.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << dialog.windowTitle().toStdString() << "\"";
      return QDialog::Rejected;
    }
    Handler handler = std::move(handlers_.front());
    handlers_.pop_front();
    dialog.show();
    const int result = handler(dialog);
    dialog.hide();
    return result;
  }

  QTemporaryDir configHome_;
  std::deque<Handler> handlers_;
};

// The control placed with that id below root.
template <class Widget>
Widget* Control(const QWidget& root, int id) {
  auto* control = root.findChild<Widget*>(QStringLiteral("control%1").arg(id));
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}

inline void Click(QAbstractButton* button) {
  ASSERT_NE(button, nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
}

inline void Type(QWidget* box, const QString& text) {
  ASSERT_NE(box, nullptr);
  QTest::keyClicks(box, text);
}

// Picks an entry as a click in the dropped list does: the selection moves
// straight to it and the list reports the operator's choice.
inline void Choose(QComboBox* list, const QString& entry) {
  ASSERT_NE(list, nullptr);
  const int index = list->findText(entry);
  ASSERT_GE(index, 0) << entry.toStdString() << " is not an entry";
  list->setCurrentIndex(index);
  emit list->activated(index);
}

inline std::string Text(const QLineEdit* box) { return box->text().toStdString(); }
