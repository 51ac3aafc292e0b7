#include "tools/signsim/SignWindowMain.h"

#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <exception>
#include <thread>

#include "tools/signsim/SignDisplay.h"
#include "tools/signsim/SignFace.h"
#include "tools/signsim/SignLinks.h"
#include "tools/signsim/VirtualSign.h"

int RunSignWindow(int argc, char** argv, CVirtualSign& sign, CSignLinks& links,
                  std::function<void(const CSignDisplay&)>& showDisplay,
                  std::function<void(const std::string&)>& showLine, int stopReadFd,
                  int stopWriteFd) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QString::fromStdString("Ravelle virtual sign on " + links.SerialPath()));
  window.setStyleSheet("background: #202020; color: #d0d0d0;");
  auto* layout = new QVBoxLayout(&window);
  auto* face = new CSignFace;
  auto* port = new QLabel(QString::fromStdString("Serial port: " + links.SerialPath()));
  auto* line = new QLabel("Line settings: none applied yet");
  auto* report = new QLabel;
  report->setWordWrap(true);
  report->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(face);
  layout->addWidget(port);
  layout->addWidget(line);
  layout->addWidget(report);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Both run on the links' thread: hand copies to the window's thread.
  QPointer<CSignFace> facePointer(face);
  showDisplay = [facePointer](const CSignDisplay& display) {
    QMetaObject::invokeMethod(
        facePointer,
        [facePointer, display] {
          if (facePointer) facePointer->ShowDisplay(display);
        },
        Qt::QueuedConnection);
  };
  QPointer<QLabel> linePointer(line), reportPointer(report);
  showLine = [linePointer, reportPointer](const std::string& text) {
    const QString shown = QString::fromStdString(text);
    QMetaObject::invokeMethod(
        qApp,
        [linePointer, reportPointer, shown] {
          if (shown.startsWith("line: ") && linePointer) {
            linePointer->setText("Line settings: " + shown.mid(6));
          } else if ((shown.startsWith("error: ") || shown.startsWith("warning: ")) &&
                     reportPointer) {
            reportPointer->setText("Last report: " + shown);
          }
        },
        Qt::QueuedConnection);
  };
  window.show();
  sign.Start();

  std::thread reader([&links, stopReadFd] {
    try {
      links.Run(stopReadFd);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "ravelle-signsim: %s\n", error.what());
    }
    QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
  });
  const int status = app.exec();
  const char byte = 0;
  [[maybe_unused]] ssize_t written = write(stopWriteFd, &byte, 1);
  reader.join();
  showDisplay = nullptr;
  showLine = nullptr;
  return status;
}
