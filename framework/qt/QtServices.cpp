// The Qt platform's services besides windows: clipboard, popup menus, message boxes,
// file dialogs and cursors.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <cctype>

#include "framework/core/CodePage.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Menus.h"
#include "framework/qt/QtPlatform.h"

namespace plomaret {

// ---- Clipboard ----

namespace {

// Text for other programs: UTF-8, ending at a zero byte as CF_TEXT does, LF line ends.
QString TextForOthers(const std::string& bytes) {
  QString text = QString::fromStdString(Cp932ToUtf8(bytes.substr(0, bytes.find('\0'))));
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return text;
}

// Text from other programs: CP932 with CR LF line ends, as the program reads CF_TEXT.
std::string TextFromOthers(const QString& text) {
  std::string bytes = Utf8ToCp932(text.toStdString());
  bytes = bytes.substr(0, bytes.find('\0'));
  std::string result;
  result.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) result += '\r';
    result += bytes[i];
  }
  return result;
}

}  // namespace

QString TQtClipboard::MimeTypeOf(uint32_t format) {
  const QString prefix = QStringLiteral("application/x-plomaret-format-");
  if (format == CF_TEXT) return QStringLiteral("application/x-plomaret-cp932-text");
  const std::string name = ClipboardFormatName(format);
  if (name.empty()) return prefix + QString::number(format);
  // Format names are matched regardless of case; a MIME type is plain ASCII.
  QString type = prefix;
  for (unsigned char c : name) {
    if (std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_') {
      type += QChar(static_cast<char16_t>(std::tolower(c)));
    } else {
      type += QLatin1Char('%') + QString::number(c, 16).rightJustified(2, QLatin1Char('0'));
    }
  }
  return type;
}

void TQtClipboard::Clear() {
  FData.clear();
  Publish();
}

void TQtClipboard::SetData(uint32_t format, std::string_view bytes) {
  // Another program took the clipboard since: what this one left there is gone.
  if (FPublished.isNull() || QGuiApplication::clipboard()->mimeData() != FPublished.data()) FData.clear();
  FData[format] = std::string(bytes);
  Publish();
}

void TQtClipboard::Publish() {
  auto* data = new QMimeData;
  for (const auto& [format, bytes] : FData) {
    data->setData(MimeTypeOf(format), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (format == CF_TEXT) data->setText(TextForOthers(bytes));
  }
  FPublished = data;
  QGuiApplication::clipboard()->setMimeData(data);
}

bool TQtClipboard::HasFormat(uint32_t format) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return false;
  if (data->hasFormat(MimeTypeOf(format))) return true;
  return format == CF_TEXT && data->hasText();
}

std::string TQtClipboard::GetData(uint32_t format) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return {};
  const QString type = MimeTypeOf(format);
  if (data->hasFormat(type)) return data->data(type).toStdString();
  if (format == CF_TEXT && data->hasText()) return TextFromOthers(data->text());
  return {};
}

// ---- Popup menus ----

namespace {

void FillMenu(QMenu& menu, const TMenuItem& parent, std::map<QAction*, TMenuItem*>& items) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    if (item->IsLine()) {
      menu.addSeparator();
      continue;
    }
    // "&" marks the accelerator in both worlds.
    const QString caption = DisplayText(item->Caption());
    if (item->Count() > 0) {
      QMenu* submenu = menu.addMenu(caption);
      submenu->setEnabled(item->Enabled());
      FillMenu(*submenu, *item, items);
      continue;
    }
    const QString shortCut = QString::fromStdString(ShortCutToText(item->ShortCut()));
    // The shortcut is shown only: the menu's owner acts on it, not Qt.
    QAction* action = menu.addAction(shortCut.isEmpty() ? caption : caption + QLatin1Char('\t') + shortCut);
    action->setEnabled(item->Enabled());
    action->setCheckable(item->Checked());
    action->setChecked(item->Checked());
    items[action] = item;
  }
}

bool Contains(const TMenuItem& parent, const TMenuItem* wanted) {
  for (int i = 0; i < parent.Count(); ++i) {
    if (parent.Items(i) == wanted || Contains(*parent.Items(i), wanted)) return true;
  }
  return false;
}

}  // namespace

void TQtPlatform::ShowPopupMenu(TPopupMenu& menu, TPoint screen) {
  QMenu popup;
  std::map<QAction*, TMenuItem*> items;
  FillMenu(popup, *menu.Items(), items);
  if (popup.isEmpty()) return;
  QAction* chosen = popup.exec(QPoint(screen.X, screen.Y));
  auto found = items.find(chosen);
  // The click runs after the menu is gone, and only on an item that still exists.
  if (found != items.end() && Contains(*menu.Items(), found->second)) found->second->Click();
}

// ---- Message boxes ----

namespace {

constexpr uint32_t kMbAbortRetryIgnore = 0x02;
constexpr uint32_t kMbRetryCancel = 0x05;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;

std::vector<QMessageBox::StandardButton> ButtonsOf(uint32_t flags) {
  switch (flags & 0x0F) {
    case MB_OKCANCEL: return {QMessageBox::Ok, QMessageBox::Cancel};
    case kMbAbortRetryIgnore: return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MB_YESNOCANCEL: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO: return {QMessageBox::Yes, QMessageBox::No};
    case kMbRetryCancel: return {QMessageBox::Retry, QMessageBox::Cancel};
    default: return {QMessageBox::Ok};
  }
}

int AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Abort: return kIdAbort;
    case QMessageBox::Retry: return kIdRetry;
    case QMessageBox::Ignore: return kIdIgnore;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
  }
}

}  // namespace

int TQtPlatform::ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (flags & 0xF0) {
    case MB_ICONERROR: icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: icon = QMessageBox::Question; break;
    case MB_ICONWARNING: icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
    default: break;
  }
  const std::vector<QMessageBox::StandardButton> buttons = ButtonsOf(flags);
  QMessageBox::StandardButtons set;
  for (QMessageBox::StandardButton button : buttons) set |= button;
  QMessageBox box(icon, DisplayText(caption), DisplayText(text), set, QApplication::activeWindow());
  // MB_DEFBUTTON2 and 3 pick the second or third button.
  const size_t defaultIndex = (flags >> 8) & 0x0F;
  if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex]);
  box.exec();
  return box.clickedButton() == nullptr ? IDCANCEL : AnswerOf(box.standardButton(box.clickedButton()));
}

// ---- File dialogs ----

QString QtFileFilter(std::string_view filter) {
  QStringList parts = DisplayText(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    if (parts[i].isEmpty() && i + 1 >= parts.size()) break;
    QString patterns = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

bool TQtPlatform::ShowFileDialog(const TFileDialogRequest& request, std::string& fileName) {
  QFileDialog dialog(QApplication::activeWindow(), DisplayText(request.Title), QString(), QtFileFilter(request.Filter));
  dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!request.Save && request.Options.Contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                                                 : QFileDialog::AnyFile);
  if (request.Save && !request.Options.Contains(ofOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // Folder and file names are native bytes, not program text.
  if (!request.InitialDir.empty()) dialog.setDirectory(QFile::decodeName(request.InitialDir.c_str()));
  if (!request.FileName.empty()) dialog.selectFile(QFile::decodeName(request.FileName.c_str()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  fileName = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
  return true;
}

// ---- Cursors ----

QCursor TQtPlatform::CursorOf(int cursor) {
  if (const TCursorShape* shape = Cursors().Find(cursor)) {
    QImage image(shape->Picture.Width(), shape->Picture.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const bool drawn = shape->Mask.Pixel(x, y) == 0x000000;
        image.setPixel(x, y, drawn ? (shape->Picture.Pixel(x, y) | 0xFF000000u) : 0u);
      }
    }
    return QCursor(QPixmap::fromImage(image), shape->HotSpot.X, shape->HotSpot.Y);
  }
  switch (cursor) {
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crNoDrop: return Qt::ForbiddenCursor;
    case crHourGlass: return Qt::WaitCursor;
    case -6: return Qt::SizeBDiagCursor;   // crSizeNESW
    case -7: return Qt::SizeVerCursor;     // crSizeNS
    case -8: return Qt::SizeFDiagCursor;   // crSizeNWSE
    case -9: return Qt::SizeHorCursor;     // crSizeWE
    case -10: return Qt::UpArrowCursor;    // crUpArrow
    case -14: return Qt::SplitHCursor;     // crHSplit
    case -15: return Qt::SplitVCursor;     // crVSplit
    case -18: return Qt::ForbiddenCursor;  // crNo
    case -19: return Qt::BusyCursor;       // crAppStart
    case -20: return Qt::WhatsThisCursor;  // crHelp
    case -21: return Qt::PointingHandCursor;  // crHandPoint
    default: return Qt::ArrowCursor;
  }
}

}  // namespace plomaret
