#include "QtApplication.h"

#include <QSessionManager>

#include "framework/core/Component.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Application.h"
#include "framework/gui/Forms.h"
#include "framework/qt/QtPlatform.h"

namespace plomaret {

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  RunGuarded([&] { result = QApplication::notify(receiver, event); });
  return result;
}

int RunQtApplication(int& argc, char** argv, const std::function<int(TComponent& owner)>& setup) {
  TQtApplication application(argc, argv);
  InstallQtPlatform();
  int exitCode = 0;
  {
    TOwned<TComponent> owner = CreateWithoutOwner<TComponent>();
    bool ready = false;
    int early = -1;
    RunGuarded([&] {
      early = setup(*owner);
      ready = true;
    });
    // The desktop session ending asks the main form first, as closing it does.
    // Every form the program made is asked; one that says no keeps the session.
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application, [&owner](QSessionManager& manager) {
      RunGuarded([&] {
        if (!manager.allowsInteraction()) return;
        bool canEnd = true;
        for (int i = 0; i < owner->ComponentCount() && canEnd; ++i) {
          if (auto* form = dynamic_cast<TForm*>(owner->Components(i))) canEnd = form->Perform(WM_QUERYENDSESSION) != 0;
        }
        manager.release();
        if (!canEnd) manager.cancel();
      });
    });
    exitCode = !ready ? 1 : early >= 0 ? early : application.exec();
    // The windows go before Qt does.
    RunGuarded([&] { owner.reset(); });
  }
  InstallPlatform(nullptr);
  return exitCode;
}

}  // namespace plomaret
