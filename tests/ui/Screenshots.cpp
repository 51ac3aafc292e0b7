// Writes pictures of the scoreboard form and of every dialog, as a person
// sees them, into the folder given on the command line:
//   ravelle_screenshots docs/screenshots

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "app/MainFrame.h"
#include "app/ModalDialog.h"
#include "app/RavelleApp.h"
#include "dialogs/RegistryAccess.h"
#include "game/RavelleView.h"
#include "sign/PacketSink.h"

namespace {

class CDiscardingSink : public CPacketSink {
 public:
  void SendToSign(int, const unsigned char*, int) override {}
};

template <class Widget>
Widget* Control(const QWidget& root, int id) {
  return root.findChild<Widget*>(QStringLiteral("control%1").arg(id));
}

bool Save(QWidget& widget, const QDir& folder, const char* name) {
  const QString path = folder.filePath(QString::fromLatin1(name));
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

void SaveConnection() {
  CRegistryAccess registry;
  const std::string connection = "serial port - betabrite classic";
  registry.WriteValue(connection.c_str(), REG_SZ, connection.size() + 1, HKEY_CURRENT_USER,
                      kSettingsWriteKey, "Connection");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return 1;

  // A settings store of its own, and a COM1 that leads nowhere.
  QTemporaryDir configHome;
  qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
  qputenv("RAVELLE_COM1", "/dev/ravelle-sign");
  SaveConnection();

  bool ok = true;
  CModalDialog::SetRunner([&](QDialog& dialog) {
    dialog.show();
    QString name = dialog.windowTitle().toLower();
    name.remove(QLatin1Char('.')).replace(QLatin1Char(' '), QLatin1Char('-'));
    ok = Save(dialog, folder, qPrintable(name + QStringLiteral(".png"))) && ok;
    dialog.hide();
    return int(QDialog::Rejected);
  });

  CDiscardingSink sink;
  CRavelleApp app(&sink);
  app.InitInstance();
  CRavelleView& view = app.View();
  QTest::keyClicks(Control<QLineEdit>(view, 1001), QStringLiteral("HOM"));
  QTest::keyClicks(Control<QLineEdit>(view, 1003), QStringLiteral("VIS"));
  Control<QAbstractButton>(view, 1029)->click();
  for (int id : {1000, 1008, 1005, 1000, 1009}) Control<QAbstractButton>(view, id)->click();
  QTest::keyClicks(Control<QPlainTextEdit>(view, 1015), QStringLiteral("Half time"));
  ok = Save(app.Frame(), folder, "scoreboard.png") && ok;

  for (int command : {CMainFrame::kCommunicationSettings, CMainFrame::kScoreBoardOptions,
                      CMainFrame::kShowScoringHistory, CMainFrame::kAppAbout}) {
    app.Frame().Command(command)->trigger();
  }

  // The real sign link: COM1 leads nowhere, so the form shows why.
  CRavelleApp unreachable;
  unreachable.InitInstance();
  ok = Save(unreachable.Frame(), folder, "scoreboard-sign-not-reached.png") && ok;
  return ok ? 0 : 1;
}
