#include "app/StatusBar.h"

namespace plomaret {

namespace {

std::string Plural(int64_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string StatusLine(const TStatusFacts& facts) {
  std::string text = "Row " + std::to_string(facts.Row + 1);
  if (facts.Line) text += " (line " + std::to_string(*facts.Line + 1) + ")";
  text += ", Col " + std::to_string(facts.Col + 1);
  text += " | " + Plural(facts.Lines, "line", "lines");
  if (facts.Modified) text += " | Modified";
  text += " | Shift-JIS | CR LF";
  if (facts.Exchanged) {
    text += " | Exchange: " + Plural(facts.Exchanged->first, "texture-coordinate line", "texture-coordinate lines") +
            ", " + Plural(facts.Exchanged->second, "vertex-colour line", "vertex-colour lines");
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
  canvas.TextOut(area.Left + 6, area.Top + (area.Height() - canvas.TextHeight()) / 2 + 1, SimpleText());
  canvas.SetBrushStyle(bsSolid);
}

}  // namespace plomaret
