#pragma once

// What the widget tests share: a fresh settings store per test, a runner
// that answers every modal dialog and message box from a queue of handlers
// instead of a real modal loop, a recording message box, and helpers that
// work the real widgets.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/MessageBoxSeam.h"
#include "qt/framework/ModalDialog.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"

// Where RAVELLE_COM1 points unless a test says otherwise: nothing is there,
// so a serial send fails at once.
inline constexpr const char* kMissingPort = "/nonexistent/ravelle-test-port";

// Each box shown, as "caption: text".
class CRecordingMessageBoxes : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon) override {
    shown.push_back(caption + ": " + text);
  }
  std::vector<std::string> shown;
};

// The control placed with that id below root.
template <class Widget>
Widget* Control(const QWidget& root, int id) {
  auto* control = root.findChild<Widget*>(QStringLiteral("control%1").arg(id));
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}

inline void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Clicks a dialog's button (1 OK, 2 Cancel) and gives the dialog's result.
inline int Press(QDialog& dialog, int id) {
  Click(Control<QAbstractButton>(dialog, id));
  return dialog.result();
}

inline void Type(QWidget* box, const QString& text) { QTest::keyClicks(box, text); }

// Picks an entry as a click in the dropped list does: the selection moves
// straight to it and the list reports the operator's choice.
inline void Choose(QComboBox* list, const QString& entry) {
  const int index = list->findText(entry);
  ASSERT_GE(index, 0) << entry.toStdString() << " is not an entry";
  list->setCurrentIndex(index);
  emit list->activated(index);
}

inline std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

class CUiTest : public testing::Test {
 protected:
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
    EXPECT_TRUE(questionAnswers.empty()) << questionAnswers.size() << " question(s) never asked";
  }

  // The next modal run is answered by handler, which drives the dialog's
  // widgets and returns its result; another kind of dialog fails the test.
  template <class Dialog = QDialog>
  void ExpectDialogOf(std::type_identity_t<std::function<int(Dialog&)>> handler) {
    handlers_.push_back(
        [handler](QDialog& dialog) { return handler(dynamic_cast<Dialog&>(dialog)); });
  }

  static void Save(CCommSettings settings) {
    CRegistryAccess registry;
    SaveCommSettings(settings, registry);
  }
  // A complete saved serial setting, so start-up opens no dialog.
  static void SaveSerialSettings() {
    Save({"alpha", "serial port - betabrite classic", 1, 9600, 7, "even", 1});
  }
  // What the form's start-up would read from the store now.
  static CRavelleDoc Saved() {
    CRavelleDoc doc;
    CRegistryAccess registry;
    ReadSavedSettings(doc, registry);
    return doc;
  }

  // Message boxes shown through the Qt seam as "caption: text", answered with
  // OK; a question (Yes and No) is answered by the next of questionAnswers,
  // which works the shown box as the operator would.
  std::vector<std::string> qtBoxes;
  std::deque<std::function<void(QMessageBox&)>> questionAnswers;

 private:
  int RunDialog(QDialog& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      qtBoxes.push_back((box->windowTitle() + QStringLiteral(": ") + box->text()).toStdString());
      if (!box->button(QMessageBox::Yes)) return QMessageBox::Ok;
      if (questionAnswers.empty()) {
        ADD_FAILURE() << "unexpected question " << qtBoxes.back();
        return QMessageBox::No;
      }
      auto answer = std::move(questionAnswers.front());
      questionAnswers.pop_front();
      box->show();
      answer(*box);
      box->hide();
      return box->result();
    }
    if (handlers_.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << dialog.windowTitle().toStdString() << "\"";
      return QDialog::Rejected;
    }
    auto handler = std::move(handlers_.front());
    handlers_.pop_front();
    dialog.show();
    const int result = handler(dialog);
    dialog.hide();
    return result;
  }

  QTemporaryDir configHome_;
  std::deque<std::function<int(QDialog&)>> handlers_;
};
