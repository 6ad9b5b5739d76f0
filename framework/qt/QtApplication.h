#pragma once
// Running the program on Qt.

#include <QApplication>
#include <functional>

namespace plomaret {

class TComponent;

// A QApplication that hands an exception escaping any event handler to the
// program's exception handling (shown, and the program goes on).
class TQtApplication : public QApplication {
 public:
  TQtApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Creates the application, installs the Qt platform, calls setup with an owner for
// the program's components, and runs the event loop until the last window closes.
// Setup returns -1 to run, or the exit code to end with at once (argc and argv then
// hold what Qt left of the command line). Everything the owner holds is freed before
// Qt goes away. Returns the exit code.
int RunQtApplication(int& argc, char** argv, const std::function<int(TComponent& owner)>& setup);

}  // namespace plomaret
