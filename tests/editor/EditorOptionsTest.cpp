#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PublishedValues.h"
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

TEST(EditorOptions, EveryClampedOptionKeepsBothEndsAndBringsBackOnePastThem) {
  struct TClamped {
    const TClassInfo& Class;
    const char* Name;
    int Low;
    int High;
  };
  const TClamped options[] = {
      {TEditorCaret::StaticClassInfo(), "TabSpaceCount", 2, 8},
      {TEditorRuler::StaticClassInfo(), "GaugeRange", 8, 10},
      {TEditorMargin::StaticClassInfo(), "Character", 0, 100},
      {TEditorMargin::StaticClassInfo(), "Left", 0, 100},
      {TEditorMargin::StaticClassInfo(), "Line", 0, 100},
      {TEditorMargin::StaticClassInfo(), "Top", 0, 100},
      {TEditorLeftbar::StaticClassInfo(), "Column", 1, 8},
      {TEditorLeftbar::StaticClassInfo(), "LeftMargin", 0, 100},
      {TEditorLeftbar::StaticClassInfo(), "RightMargin", 0, 100},
      {TEditorImagebar::StaticClassInfo(), "DigitWidth", 0, 100},
      {TEditorImagebar::StaticClassInfo(), "LeftMargin", 0, 100},
      {TEditorImagebar::StaticClassInfo(), "MarkWidth", 0, 100},
      {TEditorImagebar::StaticClassInfo(), "RightMargin", 0, 100},
      {TEditorSpeed::StaticClassInfo(), "CaretVerticalAc", 1, 4},
      {TEditorSpeed::StaticClassInfo(), "PageVerticalRange", 1, 4},
      {TEditorSpeed::StaticClassInfo(), "PageVerticalRangeAc", 1, 4},
  };
  for (const TClamped& option : options) {
    TOwned<TPersistent> object = option.Class.CreateFresh();
    const TPropInfo& prop = *option.Class.FindProperty(option.Name);
    for (auto [given, kept] : {std::pair{option.Low, option.Low}, {option.High, option.High},
                               {option.Low - 1, option.Low}, {option.High + 1, option.High}}) {
      prop.SetOrdUnchecked(*object, given);  // the C++ setter, as the control calls it
      EXPECT_EQ(prop.GetOrd(*object), kept) << option.Class.Name() << "." << option.Name << " = " << given;
    }
  }
}

TEST(EditorOptions, OnlyEvenWidthsAndAOneOrZeroUnderlineMarginAreKept) {
  auto caret = Create<TEditorCaret>();
  auto ruler = Create<TEditorRuler>();
  for (auto [given, kept] : {std::pair{3, 2}, {7, 6}}) {
    caret->SetTabSpaceCount(given);
    EXPECT_EQ(caret->TabSpaceCount(), kept) << given;
  }
  ruler->SetGaugeRange(9);
  EXPECT_EQ(ruler->GaugeRange(), 8);
  auto margin = Create<TEditorMargin>();
  for (auto [given, kept] : {std::pair{1, 1}, {0, 0}, {7, 1}, {-1, 1}}) {
    margin->SetUnderlineMargin(given);
    EXPECT_EQ(margin->UnderlineMargin(), kept) << given;
  }
}

// Tries to give every published value of object, of the objects it owns and of a
// new item of each collection another value that its setter keeps.
void ChangeEveryValue(TPersistent& object) {
  for (const TPropInfo* prop : GetPropList(object.ClassInfo(), tkProperties, false)) {
    if (prop->Kind() == tkClass) {
      TObject* part = prop->GetObject(object);
      if (auto* collection = dynamic_cast<TCollection*>(part)) {
        ChangeEveryValue(*collection->Add());
      } else if (auto* persistent = dynamic_cast<TPersistent*>(part)) {
        ChangeEveryValue(*persistent);
      }
    } else if (prop->SetStr) {
      prop->SetStr(object, prop->GetStr(object) + "q");
    } else if (prop->SetOrd) {
      const int64_t old = prop->GetOrd(object);
      for (int64_t other : {old + 1, old - 1, old + 2, old - 2}) {
        if (other < prop->PropType->MinValue || other > prop->PropType->MaxValue) continue;
        prop->SetOrd(object, other);
        if (prop->GetOrd(object) != old) break;
      }
    }
  }
}

TEST(EditorOptions, AnAssignCopiesEveryPublishedValueAndAnnouncesOnce) {
  std::vector<std::function<TOwned<TPersistent>()>> makers = {
      [] { return TOwned<TPersistent>(Create<TEditorViewInfo>(nullptr).release()); }};
  for (const TClassInfo* info :
       {&TEditorCaret::StaticClassInfo(), &TEditorCursors::StaticClassInfo(), &TEditorImagebar::StaticClassInfo(),
        &TEditorLeftbar::StaticClassInfo(), &TEditorMargin::StaticClassInfo(), &TEditorMark::StaticClassInfo(),
        &TEditorMarks::StaticClassInfo(), &TEditorRuler::StaticClassInfo(), &TEditorSpeed::StaticClassInfo()}) {
    makers.push_back([info] { return info->CreateFresh(); });
  }
  for (const auto& make : makers) {
    TOwned<TPersistent> source = make();
    TOwned<TPersistent> target = make();
    SCOPED_TRACE(source->ClassName());
    ChangeEveryValue(*source);
    ASSERT_NE(testing::PublishedValues(*source), testing::PublishedValues(*target));
    TListener listener;
    auto* notifying = dynamic_cast<TNotifyPersistent*>(target.get());
    if (notifying != nullptr) notifying->OnChange = listener.Handler();
    target->Assign(*source);
    EXPECT_EQ(testing::PublishedValues(*target), testing::PublishedValues(*source));
    EXPECT_EQ(listener.calls, notifying != nullptr ? 1 : 0);
  }
}

TEST(EditorOptions, AnAssignTakesWhatTheSettersLetInAndRefusesOtherClasses) {
  auto margin = Create<TEditorMargin>();
  margin->SetUnderlineMargin(1);  // not published
  auto copy = Create<TEditorMargin>();
  copy->Assign(*margin);
  EXPECT_EQ(copy->UnderlineMargin(), 1);
  auto cursors = Create<TEditorCursors>();
  cursors->SetInSelCursor(70000);  // beyond the published cursor range
  auto cursorsCopy = Create<TEditorCursors>();
  cursorsCopy->Assign(*cursors);
  EXPECT_EQ(cursorsCopy->InSelCursor(), 70000);

  TListener listener;
  copy->OnChange = listener.Handler();
  EXPECT_THROW(copy->Assign(*Create<TEditorRuler>()), EConvertError);
  EXPECT_THROW(Create<TEditorSpeed>()->Assign(*Create<TEditorCursors>()), EConvertError);
  EXPECT_EQ(listener.calls, 0);
}

}  // namespace
}  // namespace plomaret
