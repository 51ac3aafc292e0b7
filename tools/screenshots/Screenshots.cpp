// Writes pictures of the scoreboard form and of every dialog, as a person
// sees them, into the folder given on the command line:
//   ravelle_screenshots docs/screenshots

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "qt/form/RavelleView.h"
#include "qt/framework/ModalDialog.h"
#include "qt/shell/MainFrame.h"
#include "qt/shell/RavelleApp.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "sign/PacketSink.h"

namespace {

// The pictured form sends to nothing.
class CNoSign : public CPacketSink {
 public:
  void SendToSign(int, const unsigned char*, int) override {}
};

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

  // A settings store of its own with a saved connection, and a COM1 that
  // leads nowhere.
  QTemporaryDir configHome;
  qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
  qputenv("RAVELLE_COM1", "/dev/ravelle-sign");
  CCommSettings serial{"alpha", "serial port - betabrite classic", 1, 9600, 7, "even", 1};
  CRegistryAccess registry;
  SaveCommSettings(serial, registry);

  // Writes the widget's picture as folder/name.png and names the file written.
  bool ok = true;
  auto save = [&](QWidget& widget, const QString& name) {
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = widget.grab().save(path);
    std::fprintf(saved ? stdout : stderr, "%s%s\n", saved ? "" : "cannot write ", qPrintable(path));
    ok = saved && ok;
  };
  CModalDialog::SetRunner([&](QDialog& dialog) {
    dialog.show();
    QString name = dialog.windowTitle().toLower();
    name.remove(QLatin1Char('.')).replace(QLatin1Char(' '), QLatin1Char('-'));
    save(dialog, name);
    return int(QDialog::Rejected);
  });

  CNoSign sink;
  CRavelleApp app(&sink);
  app.InitInstance();
  auto control = [&app](int id) {
    return app.View().findChild<QWidget*>(QStringLiteral("control%1").arg(id));
  };
  QTest::keyClicks(control(1001), QStringLiteral("HOM"));
  QTest::keyClicks(control(1003), QStringLiteral("VIS"));
  for (int id : {1029, 1000, 1008, 1005, 1000, 1009})
    QTest::mouseClick(control(id), Qt::LeftButton);
  QTest::keyClicks(control(1015), QStringLiteral("Half time"));
  save(app.Frame(), QStringLiteral("scoreboard"));
  for (int command : {CMainFrame::kCommunicationSettings, CMainFrame::kScoreBoardOptions,
                      CMainFrame::kShowScoringHistory, CMainFrame::kAppAbout}) {
    app.Frame().Command(command)->trigger();
  }

  // The real sign link: COM1 leads nowhere, so the form shows why.
  CRavelleApp unreachable;
  unreachable.InitInstance();
  save(unreachable.Frame(), QStringLiteral("scoreboard-sign-not-reached"));
  return ok ? 0 : 1;
}
