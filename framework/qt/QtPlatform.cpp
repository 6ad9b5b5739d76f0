#include "QtPlatform.h"

#include <QCursor>

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>
#include <cstdio>

#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Translate.h"
#include "framework/gui/Application.h"
#include "framework/gui/Keys.h"
#include "framework/qt/QtWindow.h"

namespace plomaret {

void RunGuarded(const std::function<void()>& action) {
  try {
    try {
      action();
    } catch (const std::exception& error) {
      Application().HandleException(error);
    } catch (...) {
      Application().HandleException(Exception(Tr("An unexpected error occurred.")));
    }
  } catch (...) {
    // Showing the error failed too; nothing may unwind through Qt.
    std::fputs("plomaret: an error could not be shown\n", stderr);
  }
}

void PumpMessages() {
  RunGuarded([] { Application().ProcessMessages(); });
}

QString DisplayText(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return QString::fromStdString(Cp932ToUtf8(text));
}

TQtPlatform::TQtPlatform() {
  // Messages posted outside input handling are dispatched whenever the event loop
  // runs dry, as a Win32 message loop would take them.
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &FConnections, [] { PumpMessages(); });
  }
}

TQtPlatform::~TQtPlatform() = default;

TSize TQtPlatform::ScreenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {1920, 1080};
  const QSize size = screen->geometry().size();
  return {size.width(), size.height()};
}

std::unique_ptr<TWindowBackend> TQtPlatform::CreateWindowBackend(TWinControl& control) {
  return std::make_unique<TQtWindow>(control);
}

namespace {

constexpr int kVkMiddleButton = 0x04;

}  // namespace

void TQtPlatform::ScreenCursorChanged(int cursor) {
  // One override at a time: the previous one goes first.
  while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  if (cursor != 0) QGuiApplication::setOverrideCursor(CursorOf(cursor));
}

TPoint TQtPlatform::CursorPos() const {
  const QPoint position = QCursor::pos();
  return {position.x(), position.y()};
}

bool TQtPlatform::KeyDown(int virtualKey) const {
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  switch (virtualKey) {
    case VK_SHIFT: return (modifiers & Qt::ShiftModifier) != 0;
    case VK_CONTROL: return (modifiers & Qt::ControlModifier) != 0;
    case VK_MENU: return (modifiers & Qt::AltModifier) != 0;
    case VK_LBUTTON: return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
    case VK_RBUTTON: return (QGuiApplication::mouseButtons() & Qt::RightButton) != 0;
    case kVkMiddleButton: return (QGuiApplication::mouseButtons() & Qt::MiddleButton) != 0;
    default: return FKeysDown.count(virtualKey) != 0;
  }
}

void TQtPlatform::NoteKey(int virtualKey, bool down) {
  if (down) {
    FKeysDown.insert(virtualKey);
  } else {
    FKeysDown.erase(virtualKey);
  }
}

TQtPlatform& InstallQtPlatform() {
  if (TQtPlatform* installed = QtPlatform()) return *installed;
  auto platform = std::make_unique<TQtPlatform>();
  TQtPlatform& result = *platform;
  InstallPlatform(std::move(platform));
  return result;
}

TQtPlatform* QtPlatform() { return PlatformInstalled() ? dynamic_cast<TQtPlatform*>(&Platform()) : nullptr; }

}  // namespace plomaret
