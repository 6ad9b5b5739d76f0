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
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application, [](QSessionManager& manager) {
      RunGuarded([&] {
        TForm* form = Application().MainForm();
        if (form == nullptr || !manager.allowsInteraction()) return;
        const bool canEnd = form->Perform(WM_QUERYENDSESSION) != 0;
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
