#include <gtest/gtest.h>

#include "editor/EditorControl.h"
#include "framework/core/Properties.h"

namespace plomaret {
namespace {

struct TListener {
  int calls = 0;
  TObject* sender = nullptr;
  void Changed(TObject* from) {
    ++calls;
    sender = from;
  }
  TNotifyEvent Handler() { return TNotifyEvent(this, &TListener::Changed); }
};

TEST(EditorOptions, ClampingSettersKeepTheirRanges) {
  auto caret = Create<TEditorCaret>();
  for (auto [given, kept] : {std::pair{5, 4}, {1, 2}, {100, 8}, {6, 6}, {9, 8}}) {
    caret->SetTabSpaceCount(given);
    EXPECT_EQ(caret->TabSpaceCount(), kept) << given;
  }
  auto ruler = Create<TEditorRuler>();
  for (auto [given, kept] : {std::pair{9, 8}, {0, 8}, {12, 10}}) {
    ruler->SetGaugeRange(given);
    EXPECT_EQ(ruler->GaugeRange(), kept) << given;
  }
  auto leftbar = Create<TEditorLeftbar>();
  leftbar->SetColumn(0);
  EXPECT_EQ(leftbar->Column(), 1);
  leftbar->SetColumn(9);
  EXPECT_EQ(leftbar->Column(), 8);
  auto margin = Create<TEditorMargin>();
  margin->SetLeft(-5);
  EXPECT_EQ(margin->Left(), 0);
  margin->SetTop(150);
  EXPECT_EQ(margin->Top(), 100);
  auto imagebar = Create<TEditorImagebar>();
  imagebar->SetMarkWidth(150);
  EXPECT_EQ(imagebar->MarkWidth(), 100);
}

TEST(EditorOptions, OnlyRealChangesOfNotifyingPropertiesAnnounce) {
  auto caret = Create<TEditorCaret>();
  TListener listener;
  caret->OnChange = listener.Handler();
  caret->SetTabSpaceCount(8);
  caret->SetStyle(csDefault);
  caret->SetFreeCaret(false);  // a plain store
  EXPECT_EQ(listener.calls, 0);
  caret->SetStyle(csBrief);
  caret->SetTabSpaceCount(5);
  EXPECT_EQ(listener.calls, 2);
  auto copy = Create<TEditorCaret>();
  copy->OnChange = listener.Handler();
  copy->Assign(*caret);
  EXPECT_EQ(listener.calls, 3) << "Assign announces once";
  EXPECT_FALSE(copy->FreeCaret());
  EXPECT_EQ(copy->TabSpaceCount(), 4);
}

TEST(EditorOptions, AnyMarkChangeIsOneChangeOfTheMarks) {
  auto marks = Create<TEditorMarks>();
  TListener listener;
  marks->OnChange = listener.Handler();
  marks->Underline()->SetVisible(true);
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(listener.sender, marks.get());
  auto other = Create<TEditorMarks>();
  other->EofMark()->SetColor(clRed);
  marks->Assign(*other);
  EXPECT_EQ(listener.calls, 2);
  EXPECT_EQ(marks->EofMark()->Color(), clRed);
  EXPECT_FALSE(marks->Underline()->Visible());
}

TEST(EditorOptions, TheViewForwardsToItsFountainAndHearsItsChanges) {
  auto view = Create<TEditorViewInfo>(nullptr);
  TListener listener;
  view->OnChange = listener.Handler();
  view->SetQuotation("'x");
  EXPECT_EQ(view->Quotation(), "'");
  EXPECT_EQ(view->Fountain()->Quotation(), "'");
  view->SetQuotation("'");
  EXPECT_EQ(listener.calls, 1);
  view->SetQuotation("");
  EXPECT_EQ(view->Quotation(), "");
  view->Colors()->Comment()->SetColor(clGreen);  // inside the fountain
  EXPECT_EQ(listener.calls, 3);
  auto copy = Create<TEditorViewInfo>(nullptr);
  TListener copyListener;
  copy->OnChange = copyListener.Handler();
  view->SetCommenter("//");
  copy->Assign(*view);
  EXPECT_EQ(copy->Commenter(), "//");
  EXPECT_EQ(copy->Colors()->Comment()->Color(), clGreen);
  EXPECT_EQ(copyListener.calls, 1) << "one announcement for the whole assign";
}

TEST(EditorOptions, SpeedNeverAnnouncesAndStaysInItsRange) {
  auto speed = Create<TEditorSpeed>();
  speed->SetPageVerticalRange(9);
  EXPECT_EQ(speed->PageVerticalRange(), 4);
  EXPECT_THROW(SetPropertyByPath(*speed, "CaretVerticalAc", "0"), EConvertError);
  SetPropertyByPath(*speed, "InitBracketsFull", "True");
  EXPECT_TRUE(speed->InitBracketsFull());
}

TEST(EditorOptions, PublishedPathsReachNestedOptions) {
  auto caret = Create<TEditorCaret>();
  SetPropertyByPath(*caret, "Cursors.LeftMarginCursor", "1958");
  EXPECT_EQ(GetPropertyByPath(*caret, "Style"), "csDefault");
  EXPECT_EQ(caret->Cursors()->LeftMarginCursor(), 1958);
  auto view = Create<TEditorViewInfo>(nullptr);
  SetPropertyByPath(*view, "Colors.Select.BkColor", "clYellow");
  EXPECT_EQ(view->Colors()->Select()->BkColor(), clYellow);
}

}  // namespace
}  // namespace plomaret
