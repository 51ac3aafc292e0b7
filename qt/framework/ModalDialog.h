#pragma once

#include <QDialog>
#include <functional>

// A dialog run modally in the framework's way: initialised, then run until it
// ends with OK (QDialog::Accepted, 1) or Cancel (QDialog::Rejected, 0 here).
//
// Every modal run of the program, message boxes included, goes through
// RunModal. Tests put their own runner in its place to drive the dialog's
// widgets and end it, so no test waits on a real modal loop.
class CModalDialog : public QDialog {
  Q_OBJECT
 public:
  using Runner = std::function<int(QDialog&)>;

  explicit CModalDialog(QWidget* parent = nullptr);

  // OnInitDialog, then the modal run; returns the dialog's result.
  int DoModal();

  static int RunModal(QDialog& dialog);
  // An empty runner restores the real modal loop.
  static void SetRunner(Runner runner);

 protected:
  // Fills the controls from the dialog's fields before the run.
  virtual void OnInitDialog() {}
};
