// The clipboard, menus, message boxes, file dialog filters and cursors on Qt.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "QtTestSupport.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Menus.h"

namespace plomaret {
namespace {

TEST(QtClipboard, ACopyAndPasteInsideTheProgramIsByteExact) {
  TClipboard& clipboard = Platform().Clipboard();
  // Two spellings of one character (NEC and IBM rows), and a byte that is no character.
  const std::string text = "\xee\xef\xfa\x40 \x82\xa0\r\nx\x80";
  const uint32_t box = RegisterClipboardFormat("TEditor Box Type");
  const std::string boxBytes("\x02\x00\x00\x00\xff", 5);
  clipboard.SetText(text);
  clipboard.SetData(box, boxBytes);
  EXPECT_EQ(clipboard.AsText(), text);
  EXPECT_EQ(clipboard.GetData(box), boxBytes);
  EXPECT_TRUE(clipboard.HasFormat(box));

  // Other programs see UTF-8 with their own line ends.
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("ⅰⅰ あ\nx\uFFFD"));
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("application/x-plomaret-format-teditor%20box%20type"));

  clipboard.SetText("plain");
  EXPECT_FALSE(clipboard.HasFormat(box)) << "new content replaces all of the old";
}

TEST(QtClipboard, TextFromOtherProgramsArrivesAsCp932WithCrLf) {
  const uint32_t box = RegisterClipboardFormat("TEditor Box Type");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("あ\nb\r\nc"));
  TClipboard& clipboard = Platform().Clipboard();
  EXPECT_TRUE(clipboard.HasFormat(CF_TEXT));
  EXPECT_FALSE(clipboard.HasFormat(box));
  EXPECT_EQ(clipboard.AsText(), "\x82\xa0\r\nb\r\nc");
  // Adding a format now starts afresh: the other program's text is not the program's own.
  clipboard.SetData(box, "x");
  EXPECT_EQ(clipboard.GetData(box), "x");
  EXPECT_FALSE(clipboard.HasFormat(CF_TEXT));
}

// Runs action on the next turn of the event loop, once a popup or dialog is up.
void WhenShown(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }

TEST(QtMenus, APopupMenuShowsTheItemsAndClicksTheChosenOne) {
  auto menu = CreateWithoutOwner<TPopupMenu>();
  std::vector<std::string> clicked;
  struct TListener : TObject {
    std::vector<std::string>* Log;
    void Clicked(TObject* sender) { Log->push_back(static_cast<TMenuItem*>(sender)->Caption()); }
  };
  TListener listener;
  listener.Log = &clicked;
  auto add = [&](const char* caption, bool enabled) {
    auto* item = Create<TMenuItem>(menu.get());
    item->SetCaption(caption);
    item->SetEnabled(enabled);
    item->OnClick = TNotifyEvent(&listener, &TListener::Clicked);
    menu->Items()->Add(item);
    return item;
  };
  add("&Undo", false);
  TMenuItem* copy = add("&Copy", true);
  copy->SetShortCut(ShortCut('C', scCtrl));
  copy->SetChecked(true);
  add("-", true);
  add("Select &All", true);

  QStringList shown;
  WhenShown([&] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (popup == nullptr) return;
    for (QAction* action : popup->actions()) {
      shown << (action->isSeparator() ? QStringLiteral("-")
                                      : action->text() + (action->isEnabled() ? "" : " (off)") + (action->isChecked() ? " (on)" : ""));
    }
    QTest::keyClick(popup, Qt::Key_A);  // the accelerator of "Select &All"
  });
  menu->Popup({100, 100});
  EXPECT_EQ(shown, QStringList({"&Undo (off)", "&Copy\tCtrl+C (on)", "-", "Select &All"}));
  EXPECT_EQ(clicked, (std::vector<std::string>{"Select &All"}));
}

TEST(QtDialogs, AMessageBoxAnswersWithTheButtonChosen) {
  WhenShown([] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box != nullptr) box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(QtPlatform()->TQtPlatform::ShowMessageBox("Save the changes?", "plomaret", MB_YESNOCANCEL | MB_ICONQUESTION),
            IDNO);
}

TEST(QtDialogs, TheSaveDialogStartsWhereAskedAndReturnsTheNativeFileName) {
  const std::string folder = testing::TempDir();
  TFileDialogRequest request;
  request.Save = true;
  request.Filter = "DirectX|*.x";
  request.InitialDir = folder;
  request.FileName = "\xe3\x83\xa2\xe3\x83\x87\xe3\x83\xab.x";  // a UTF-8 name: file names are native bytes
  QString shownFolder;
  QStringList filters;
  bool confirmsOverwrite = true;
  WhenShown([&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    shownFolder = dialog->directory().absolutePath();
    filters = dialog->nameFilters();
    confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  std::string chosen;
  ASSERT_TRUE(Platform().ShowFileDialog(request, chosen));
  EXPECT_EQ(shownFolder, QDir(QString::fromStdString(folder)).absolutePath());
  EXPECT_EQ(filters, QStringList({"DirectX (*.x)"}));
  EXPECT_FALSE(confirmsOverwrite) << "no overwrite prompt was asked for";
  EXPECT_EQ(chosen, QDir(QString::fromStdString(folder)).absoluteFilePath(QString::fromUtf8("モデル.x")).toStdString());
}

TEST(QtDialogs, FileFiltersBecomeQtsForm) {
  EXPECT_EQ(QtFileFilter("DirectX (*.x)|*.x|All files|*.*"), "DirectX (*.x) (*.x);;All files (*.*)");
  EXPECT_EQ(QtFileFilter("Text|*.txt;*.log"), "Text (*.txt *.log)");
  EXPECT_EQ(QtFileFilter(""), "");
}

TEST(QtCursors, TheProgramsCursorsComeFromTheTableAndTheRestAreStandardShapes) {
  Cursors().Install(1958, CursorFromPicture("#.\n##", {1, 0}));
  const QCursor own = TQtPlatform::CursorOf(1958);
  EXPECT_EQ(own.shape(), Qt::BitmapCursor);
  EXPECT_EQ(own.hotSpot(), QPoint(1, 0));
  const QImage picture = own.pixmap().toImage();
  EXPECT_EQ(picture.pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(picture.pixel(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(TQtPlatform::CursorOf(crIBeam).shape(), Qt::IBeamCursor);
  EXPECT_EQ(TQtPlatform::CursorOf(crDefault).shape(), Qt::ArrowCursor);

  auto control = CreateWithoutOwner<TProbeControl>();
  control->SetCursor(crIBeam);
  control->SetBounds(0, 0, 20, 20);
  control->HandleNeeded();
  EXPECT_EQ(control->Widget()->cursor().shape(), Qt::IBeamCursor);
}

}  // namespace
}  // namespace plomaret
