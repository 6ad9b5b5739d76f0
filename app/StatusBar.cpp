#include "app/StatusBar.h"

#include "framework/core/CodePage.h"
#include "framework/core/Translate.h"

namespace plomaret {

std::string StatusLine(const TStatusFacts& facts) {
  const std::string row = std::to_string(facts.Row + 1);
  const std::string col = std::to_string(facts.Col + 1);
  std::string text = facts.Line ? TrFormat("Row %1 (line %2), Col %3", {row, std::to_string(*facts.Line + 1), col})
                                : TrFormat("Row %1, Col %2", {row, col});
  text += " | " + TrPlural(facts.Lines, "%n line", "%n lines");
  if (facts.Modified) text += " | " + Tr("Modified");
  // The encoding and the line ends are names, the same in every language.
  text += " | Shift-JIS | CR LF";
  if (facts.Exchanged) {
    text += " | " + TrFormat("Exchange: %1, %2",
                             {TrPlural(facts.Exchanged->first, "%n texture-coordinate line", "%n texture-coordinate lines"),
                              TrPlural(facts.Exchanged->second, "%n vertex-colour line", "%n vertex-colour lines")});
  }
  return text;
}

void TStatusBar::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clBtnFace);
  SetAlign(alBottom);
  SetBounds(Left(), Top(), Width(), 20);
}

void TStatusBar::SetTextSource(std::function<std::string()> source) {
  FSource = std::move(source);
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
  canvas.TextOut(area.Left + 6, area.Top + (area.Height() - canvas.TextHeight()) / 2 + 1, Utf8ToCp932(SimpleText()));
  canvas.SetBrushStyle(bsSolid);
}

}  // namespace plomaret
