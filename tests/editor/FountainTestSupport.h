#pragma once
// Tokenizing helpers for the fountain and parser tests.

#include <string>
#include <utility>
#include <vector>

#include "editor/EditorFountain.h"

namespace plomaret::testing {

struct TToken {
  TTokenKind Kind;
  std::string Text;
  bool operator==(const TToken&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TToken& token) {
  return out << "{" << static_cast<int>(token.Kind) << ", \"" << token.Text << "\"}";
}

// The tokens of text from the start state data, as the painter takes them: up to
// toEof or up to the first token that starts at or after limit.
inline std::vector<TToken> Tokens(TFountainParser& parser, const std::string& text,
                                  const TRowAttributeData& data = StartRowAttributeData(), int limit = -1) {
  std::vector<TToken> tokens;
  parser.NewData(text.c_str(), data);
  for (TTokenKind kind = parser.NextToken(); kind != toEof; kind = parser.NextToken()) {
    if (limit >= 0 && parser.SourcePos() >= limit) break;
    tokens.push_back({kind, parser.TokenString()});
  }
  return tokens;
}

inline TFountainBracketItem* AddBracket(TFountain& fountain, const std::string& left, const std::string& right) {
  TFountainBracketItem* item = fountain.Brackets()->Add();
  item->SetLeftBracket(left);
  item->SetRightBracket(right);
  return item;
}

// Rows with their attributes, as the row store keeps them.
inline TOwned<TRowAttributeStringList> Rows(const std::vector<std::pair<std::string, TRowAttribute>>& rows) {
  auto list = Create<TRowAttributeStringList>();
  for (const auto& [text, attribute] : rows) {
    int index = list->Add(text);
    list->SetRowAttributes(index, attribute);
  }
  return list;
}

// The start state of every row, computed from the top as the row store does.
inline std::vector<TRowAttributeData> RowStates(TFountainParser& parser, const TRowAttributeStringList& rows) {
  std::vector<TRowAttributeData> states;
  TRowAttributeData data = StartRowAttributeData();
  for (int i = 0; i < rows.Count(); ++i) {
    data.RowAttribute = rows.RowAttributes(i);
    states.push_back(data);
    parser.UpdateRowData(i, rows, data);
    data.PrevRowAttribute = rows.RowAttributes(i);
  }
  return states;
}

// The tokens of row i, painted as the painter does: a wrapped row is scanned with the
// next row appended, and only tokens that start on the row itself count.
inline std::vector<TToken> RowTokens(TFountainParser& parser, const TRowAttributeStringList& rows, int i,
                                     const TRowAttributeData& state) {
  std::string text = rows.Get(i);
  const int length = static_cast<int>(text.size());
  if (rows.RowAttributes(i) == raWrap && i + 1 < rows.Count()) text += rows.Get(i + 1);
  return Tokens(parser, text, state, length);
}

}  // namespace plomaret::testing
