#include "XFileFixup.h"

#include "framework/core/Exceptions.h"

namespace plomaret {

namespace {

constexpr std::string_view kTextureCoordsHeader = " MeshTextureCoords {";
constexpr std::string_view kVertexColorsHeader = " MeshVertexColors {";
constexpr std::string_view kSectionEnd = " }";
constexpr std::string_view kCommentPrefix = "// ";
constexpr std::string_view kCommaEnding = ";,";

bool EndsWith(std::string_view line, std::string_view ending) {
  return line.size() >= ending.size() && line.substr(line.size() - ending.size()) == ending;
}

}  // namespace

TFixupAction TXFileFixup::Next(std::string_view line) {
  if (FState == ssOutside) {
    if (line == kTextureCoordsHeader) {
      FState = ssTextureCoords;
    } else if (line == kVertexColorsHeader) {
      FState = ssVertexColors;
    }
  }
  switch (FState) {
    case ssTextureCoords:
      if (line == kSectionEnd) {
        FState = ssOutside;  // the closing line itself stays as it is
        return faKeep;
      }
      return EndsWith(line, kCommaEnding) ? faDropFinalComma : faKeep;
    case ssVertexColors:
      if (line == kSectionEnd) FState = ssOutside;
      return faCommentOut;
    case ssOutside:
      break;
  }
  return faKeep;
}

void TXFileFixup::ApplyInto(std::string_view line, TFixupAction action, std::string& out) {
  // Into a buffer the caller keeps: a million lines rewritten need no allocation each.
  switch (action) {
    case faDropFinalComma:
      out.assign(line.substr(0, line.size() - 1));
      return;
    case faCommentOut:
      out.assign(kCommentPrefix).append(line);
      return;
    case faKeep:
      break;
  }
  out.assign(line);
}

std::string TXFileFixup::Apply(std::string_view line, TFixupAction action) {
  std::string out;
  ApplyInto(line, action, out);
  return out;
}

TFixupCounts ExchangeLines(TStrings& lines) {
  TFixupCounts counts;
  TXFileFixup fixup;
  TUpdateBracket bracket(lines);
  const int count = lines.Count();
  for (int i = 0; i < count; ++i) {
    const std::string line = lines.Get(i);
    const TFixupAction action = fixup.Next(line);
    counts.Count(action);
    if (action != faKeep) lines.Put(i, TXFileFixup::Apply(line, action));
  }
  return counts;
}

TFixupCounts ExchangeAsWholeText(TStrings& lines) {
  TFixupCounts counts;
  TXFileFixup fixup;
  lines.RewriteLines([&](std::string_view line, std::string& out) {
    const TFixupAction action = fixup.Next(line);
    counts.Count(action);
    if (action == faKeep) return false;
    TXFileFixup::ApplyInto(line, action, out);
    return true;
  });
  return counts;
}

TFixupCounts ExchangeThroughWorkingCopy(TStrings& lines) {
  TOwned<TPackedLines> copy = Create<TPackedLines>();
  copy->Assign(lines);
  const TFixupCounts counts = ExchangeLines(*copy);
  lines.Assign(*copy);
  return counts;
}

// ---- The working copy ----

std::string_view TPackedLines::View(int index) const {
  Check(index, false);
  const TLine& line = FLines[static_cast<size_t>(index)];
  return std::string_view(TextOf(line), line.Length);
}

TPackedLines::TLine TPackedLines::Append(std::string_view text) {
  if (text.size() > UINT32_MAX) throw EListError("a line of 4 GiB or more");
  // Even an empty line needs a block to point into.
  if (FBlocks.empty() || text.size() > kBlockSize - FBlockUsed) {
    // A line longer than a block gets a block of its own size.
    FBlocks.push_back(std::make_unique<char[]>(std::max(kBlockSize, text.size())));
    FBlockUsed = 0;
  }
  if (FBlocks.size() > UINT32_MAX) throw EListError("a text of 4 million blocks or more");
  const TLine line{static_cast<uint32_t>(FBlocks.size() - 1), static_cast<uint32_t>(FBlockUsed),
                   static_cast<uint32_t>(text.size())};
  std::copy(text.begin(), text.end(), TextOf(line));
  FBlockUsed = text.size() >= kBlockSize ? kBlockSize : FBlockUsed + text.size();
  return line;
}

void TPackedLines::Check(int index, bool orEnd) const {
  if (index < 0 || index > Count() || (index == Count() && !orEnd)) IndexError();
}

void TPackedLines::Put(int index, const std::string& text) {
  Check(index, false);
  TLine& line = FLines[static_cast<size_t>(index)];
  if (text.size() <= line.Length) {
    std::copy(text.begin(), text.end(), TextOf(line));
    line.Length = static_cast<uint32_t>(text.size());
    return;
  }
  line = Append(text);
}

int TPackedLines::Add(const std::string& text) {
  FLines.push_back(Append(text));
  return Count() - 1;
}

void TPackedLines::Insert(int index, const std::string& text) {
  Check(index, true);
  FLines.insert(FLines.begin() + index, Append(text));
}

void TPackedLines::Delete(int index) {
  Check(index, false);
  FLines.erase(FLines.begin() + index);
}

void TPackedLines::Clear() {
  FLines.clear();
  FBlocks.clear();
  FBlockUsed = kBlockSize;
}

}  // namespace plomaret
