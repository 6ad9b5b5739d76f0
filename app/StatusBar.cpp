#include "app/StatusBar.h"

#include "framework/core/CodePage.h"
#include "framework/core/Translate.h"

namespace plomaret {

namespace {

constexpr int kTextMargin = 6;

}  // namespace

std::string StatusLine(const TStatusFacts& facts, bool brief) {
  const std::string row = std::to_string(facts.Row + 1);
  const std::string col = std::to_string(facts.Col + 1);
  std::string text = facts.Line ? TrFormat("Row %1 (line %2), Col %3", {row, std::to_string(*facts.Line + 1), col})
                                : TrFormat("Row %1, Col %2", {row, col});
  text += " | " + TrPlural(facts.Lines, "%n line", "%n lines");
  if (facts.Modified) text += " | " + Tr("Modified");
  // The encoding and the line ends are names, the same in every language.
  if (!brief) text += " | Shift-JIS CR LF";
  if (facts.Exchanged) {
    // Short words, so that six-digit counts still fit the window's described width.
    text += " | " + TrFormat("Exchange: UV %1, colour %2",
                             {std::to_string(facts.Exchanged->first), std::to_string(facts.Exchanged->second)});
  }
  return text;
}

void TStatusBar::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clBtnFace);
  SetAlign(alBottom);
  SetBounds(Left(), Top(), Width(), 20);
}

int TStatusBar::TextRoom() const { return ClientWidth() - 2 * kTextMargin; }

void TStatusBar::SetTextSource(std::function<std::string()> source, std::function<std::string()> brief) {
  FSource = std::move(source);
  FBrief = std::move(brief);
  Invalidate();
}

void TStatusBar::Paint() {
  TCanvas& canvas = Canvas();
  const TRect area = ClientRect();
  canvas.SetPenColor(clBtnShadow);
  canvas.MoveTo(area.Left, area.Top);
  canvas.LineTo(area.Right, area.Top);
  canvas.Font().Assign(Font());
  canvas.SetBrushStyle(bsClear);
  // The canvas draws Shift-JIS; the line is UTF-8 like every message.
  std::string shown = Utf8ToCp932(SimpleText());
  if (FBrief && canvas.TextWidth(shown) > TextRoom()) shown = Utf8ToCp932(FBrief());
  canvas.TextOut(area.Left + kTextMargin, area.Top + (area.Height() - canvas.TextHeight()) / 2 + 1, shown);
  canvas.SetBrushStyle(bsSolid);
}

}  // namespace plomaret
