#include "QtApplication.h"

#include "framework/core/Component.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Application.h"
#include "framework/qt/QtPlatform.h"

namespace plomaret {

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  RunGuarded([&] { result = QApplication::notify(receiver, event); });
  return result;
}

int RunQtApplication(int& argc, char** argv, const std::function<void(TComponent& owner)>& setup) {
  TQtApplication application(argc, argv);
  InstallQtPlatform();
  int exitCode = 0;
  {
    TOwned<TComponent> owner = CreateWithoutOwner<TComponent>();
    bool ready = false;
    RunGuarded([&] {
      setup(*owner);
      ready = true;
    });
    exitCode = ready ? application.exec() : 1;
    // The windows go before Qt does.
    RunGuarded([&] { owner.reset(); });
  }
  InstallPlatform(nullptr);
  return exitCode;
}

}  // namespace plomaret
