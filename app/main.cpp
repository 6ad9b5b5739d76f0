// The program: the main window on Qt, until it is closed. An error that reaches the
// event loop is shown in a message box and the program goes on.

#include "app/Unit1.h"
#include "framework/qt/QtApplication.h"

int main(int argc, char** argv) {
  return plomaret::RunQtApplication(argc, argv, [](plomaret::TComponent& owner) {
    plomaret::Create<plomaret::TForm1>(&owner)->Show();
  });
}
