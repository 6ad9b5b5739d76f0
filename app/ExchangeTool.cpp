#include "ExchangeTool.h"

#include <memory>
#include <ostream>
#include <set>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/TextFileReader.h"

namespace plomaret {

namespace {

// The same blocks as the editor's load, so both meet the same block boundaries.
constexpr size_t kToolBlockSize = TTextFileReader::kDefaultBlockSize;

const char* const kUsage =
    "usage: plomaret-exchange IN.x -o OUT.x\n"
    "       plomaret-exchange --in-place [--backup SUFFIX] FILE.x...\n"
    "Rewrites DirectX text mesh files as the Exchange command does: in every\n"
    "\" MeshTextureCoords {\" section a line ending \";,\" loses its comma, every\n"
    "\" MeshVertexColors {\" section is commented out with \"// \". Lines are written\n"
    "with CR LF. No file is changed unless every file could be rewritten.\n";

struct TJob {
  std::string Input;
  std::string Output;
  std::string Backup;  // empty: none
  std::unique_ptr<TFileReplacer> BackupWriter;
  std::unique_ptr<TFileReplacer> Writer;
  TFixupCounts Counts;
};

struct TOptions {
  std::vector<std::string> Inputs;
  std::string Output;
  std::string BackupSuffix;
  bool InPlace = false;
  bool Help = false;
};

// Returns an empty string when the arguments are good, else what is wrong.
std::string ParseArguments(int argc, const char* const* argv, TOptions& options) {
  bool endOfOptions = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (!endOfOptions && (arg == "-h" || arg == "--help")) {
      options.Help = true;
    } else if (!endOfOptions && arg == "--") {
      endOfOptions = true;
    } else if (!endOfOptions && (arg == "-o" || arg == "--output" || arg == "--backup")) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') return std::string(arg) + " needs a value";
      (arg == "--backup" ? options.BackupSuffix : options.Output) = argv[++i];
    } else if (!endOfOptions && arg == "--in-place") {
      options.InPlace = true;
    } else if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + std::string(arg);
    } else {
      options.Inputs.emplace_back(arg);
    }
  }
  if (options.Help) return {};
  if (options.Inputs.empty()) return "no input file";
  if (options.InPlace) {
    if (!options.Output.empty()) return "--in-place and -o cannot be used together";
  } else {
    if (!options.BackupSuffix.empty()) return "--backup needs --in-place";
    if (options.Output.empty()) return "no output file: use -o OUT.x, or --in-place";
    if (options.Inputs.size() != 1) return "-o takes one input file; use --in-place for several";
  }
  return {};
}

void CopyFileInto(const std::string& input, TFileReplacer& output) {
  TTextFileReader reader(input, kToolBlockSize);
  // The backup keeps every byte, so it is copied raw, not as lines.
  reader.CopyBytes([&](std::string_view bytes) { output.Write(bytes); });
}

std::string Describe(const TJob& job) {
  std::string text = job.Input;
  if (job.Output != job.Input) text += " -> " + job.Output;
  text += ": " + std::to_string(job.Counts.CommasDropped) + " texture-coordinate lines lost their final comma, " +
          std::to_string(job.Counts.LinesCommentedOut) + " vertex-colour lines commented out";
  if (!job.Backup.empty()) text += " (original kept as " + job.Backup + ")";
  return text;
}

}  // namespace

TFixupCounts ExchangeFile(const std::string& input, TFileReplacer& output) {
  TTextFileReader reader(input, kToolBlockSize);
  reader.Count();  // refuses a binary file before anything is written
  TXFileFixup fixup;
  TFixupCounts counts;
  reader.ReadLines([&](std::string_view line) {
    const TFixupAction action = fixup.Next(line);
    counts.Count(action);
    switch (action) {
      case faDropFinalComma:
        output.Write(line.substr(0, line.size() - 1));
        break;
      case faCommentOut:
        output.Write("// ");
        output.Write(line);
        break;
      case faKeep:
        output.Write(line);
        break;
    }
    output.Write("\r\n");
  });
  return counts;
}

int RunExchangeTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  TOptions options;
  std::string problem = ParseArguments(argc, argv, options);
  if (options.Help) {
    out << kUsage;
    return 0;
  }
  if (!problem.empty()) {
    err << "plomaret-exchange: " << problem << "\n" << kUsage;
    return 2;
  }

  std::vector<TJob> jobs;
  std::set<std::string> seen;
  for (const std::string& input : options.Inputs) {
    if (!seen.insert(input).second) continue;
    TJob job;
    job.Input = input;
    job.Output = options.InPlace ? input : options.Output;
    if (!options.BackupSuffix.empty()) job.Backup = input + options.BackupSuffix;
    jobs.push_back(std::move(job));
  }

  // Every new version is made and flushed before any file is replaced, so a bad
  // file among many changes none of them.
  try {
    for (TJob& job : jobs) {
      if (!job.Backup.empty()) {
        job.BackupWriter = std::make_unique<TFileReplacer>(job.Backup);
        CopyFileInto(job.Input, *job.BackupWriter);
        job.BackupWriter->Finish();
      }
      job.Writer = std::make_unique<TFileReplacer>(job.Output);
      job.Counts = ExchangeFile(job.Input, *job.Writer);
      job.Writer->Finish();
    }
  } catch (const Exception& error) {
    err << "plomaret-exchange: " << error.Message() << "\nNo file was changed.\n";
    return 1;
  }

  for (TJob& job : jobs) {
    try {
      if (job.BackupWriter) job.BackupWriter->Commit();
      job.Writer->Commit();
      out << Describe(job) << "\n";
    } catch (const Exception& error) {
      err << "plomaret-exchange: " << error.Message() << "\n";
      return 1;
    }
  }
  return 0;
}

}  // namespace plomaret
