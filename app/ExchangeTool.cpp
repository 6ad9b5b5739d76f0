#include "ExchangeTool.h"

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Messages.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TextFileReader.h"
#include "framework/core/Translate.h"

namespace plomaret {

namespace {

// The same blocks as the editor's load, so both meet the same block boundaries.
constexpr size_t kToolBlockSize = TTextFileReader::kDefaultBlockSize;

std::string Usage() {
  return Tr(
      "usage: plomaret-exchange [--force] IN.x -o OUT.x\n"
      "       plomaret-exchange --in-place [--backup SUFFIX] [--force] FILE.x...\n"
      "Rewrites DirectX text mesh files as the Exchange command does: in every\n"
      "\" MeshTextureCoords {\" section a line ending \";,\" loses its comma, every\n"
      "\" MeshVertexColors {\" section is commented out with \"// \". Lines are written\n"
      "with CR LF. No file is changed unless every file could be rewritten.\n"
      "A file without write permission is refused; --force replaces it anyway.\n");
}

struct TJob {
  std::string Input;
  std::string Output;
  std::string Backup;  // empty: none
  std::unique_ptr<TFileReplacer> BackupWriter;
  std::unique_ptr<TFileReplacer> Writer;
  TExchangeResult Result;
  bool BackupReplaced = false;
  bool Replaced = false;
};

struct TOptions {
  std::vector<std::string> Inputs;
  std::string Output;
  std::string BackupSuffix;
  bool InPlace = false;
  bool Force = false;
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
      if (i + 1 >= argc || argv[i + 1][0] == '\0') return TrFormat("%1 needs a value", {arg});
      (arg == "--backup" ? options.BackupSuffix : options.Output) = argv[++i];
    } else if (!endOfOptions && arg == "--in-place") {
      options.InPlace = true;
    } else if (!endOfOptions && arg == "--force") {
      options.Force = true;
    } else if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
      return TrFormat("unknown option %1", {arg});
    } else {
      options.Inputs.emplace_back(arg);
    }
  }
  if (options.Help) return {};
  if (options.Inputs.empty()) return Tr("no input file");
  if (options.InPlace) {
    if (!options.Output.empty()) return Tr("--in-place and -o cannot be used together");
  } else {
    if (!options.BackupSuffix.empty()) return Tr("--backup needs --in-place");
    if (options.Output.empty()) return Tr("no output file: use -o OUT.x, or --in-place");
    if (options.Inputs.size() != 1) return Tr("-o takes one input file; use --in-place for several");
  }
  return {};
}

void CopyFileInto(const std::string& input, TFileReplacer& output) {
  TTextFileReader reader(input, kToolBlockSize);
  // The backup keeps every byte, so it is copied raw, not as lines.
  reader.CopyBytes([&](std::string_view bytes) { output.Write(bytes); });
}

// Where memory has run out even the message may not be made: then a plain one.
template <class MakeText>
void Say(std::ostream& err, MakeText&& makeText) {
  try {
    const std::string text = makeText();
    err << "plomaret-exchange: " << text << "\n";
  } catch (const std::bad_alloc&) {
    err << "plomaret-exchange: Not enough memory.\n";
  }
}

// "No file was changed." after a failure, in English when even that cannot be made.
void SayNothingChanged(std::ostream& err) {
  try {
    err << Tr("No file was changed.") << "\n";
  } catch (const std::bad_alloc&) {
    err << "No file was changed.\n";
  }
}

// A file as the batch names it: its absolute name, and which file it is on disk.
struct TFileIdentity {
  std::string Name;
  std::optional<std::pair<dev_t, ino_t>> Id;
  bool Same(const TFileIdentity& other) const { return Name == other.Name || (Id && Id == other.Id); }
};

TFileIdentity IdentityOf(const std::string& path, bool followLinks) {
  TFileIdentity identity;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  identity.Name = (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
  struct stat info {};
  if ((followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) == 0) {
    identity.Id = std::make_pair(info.st_dev, info.st_ino);
  }
  return identity;
}

// A backup written over a file of the batch (an input, an output, another backup)
// would lose that file's old version: the batch is refused before anything is written.
// A backup never follows a link, so it is compared as the entry itself.
std::string FindBackupClash(const std::vector<TJob>& jobs) {
  std::vector<std::pair<TFileIdentity, const TJob*>> files, backups;
  for (const TJob& job : jobs) {
    files.emplace_back(IdentityOf(job.Input, true), &job);
    if (job.Output != job.Input) files.emplace_back(IdentityOf(job.Output, true), &job);
  }
  for (const TJob& job : jobs) {
    if (job.Backup.empty()) continue;
    TFileIdentity backup = IdentityOf(job.Backup, false);
    for (const auto& [file, owner] : files) {
      if (backup.Same(file)) {
        return TrFormat(
            "The backup of \"%1\" would be \"%2\", which is the file \"%3\" of this run; its old version would be "
            "lost.",
            {job.Input, job.Backup, owner->Input});
      }
    }
    for (const auto& [other, owner] : backups) {
      if (backup.Same(other)) {
        return TrFormat("The backups of \"%1\" and \"%2\" would both be \"%3\"; one would overwrite the other.",
                        {owner->Input, job.Input, job.Backup});
      }
    }
    backups.emplace_back(std::move(backup), &job);
  }
  return {};
}

// Names what a run killed earlier left beside a file we are about to rewrite; it is
// not ours to delete.
void WarnOfLeftovers(const std::vector<TJob>& jobs, std::ostream& err) {
  for (const TJob& job : jobs) {
    for (const std::string& file : {job.Output, job.Backup}) {
      if (file.empty()) continue;
      try {
        for (const std::string& leftover : FindLeftovers(file)) {
          err << "plomaret-exchange: "
              << TrFormat("warning: \"%1\" was left by an earlier run that was stopped; it may hold a version of %2",
                          {leftover, file})
              << "\n";
        }
      } catch (const Exception&) {
        // an unreadable link chain is reported when the file itself is written
      }
    }
  }
}

// Every new version is made and flushed before any file is replaced, so a bad file
// among many changes none of them.
bool PrepareAll(std::vector<TJob>& jobs, const TOptions& options, std::ostream& err) {
  const TJob* current = nullptr;
  try {
    TReplaceOptions replacing;
    replacing.ReplaceReadOnly = options.Force;
    replacing.OnOldCopy = [&err](const std::string& path, const std::string& copy) {
      err << "plomaret-exchange: "
          << TrFormat(
                 "%1 is rewritten in place (it has other hard links, its folder is not writable, or it belongs "
                 "to another user in a shared folder); until every file is done its old version is kept as "
                 "\"%2\"",
                 {path, copy})
          << "\n";
      err.flush();
    };
    TReplaceOptions backingUp = replacing;
    backingUp.FollowLinks = false;  // a stray link named like the backup is replaced, not written through
    for (TJob& job : jobs) {
      current = &job;
      if (!job.Backup.empty()) {
        job.BackupWriter = std::make_unique<TFileReplacer>(job.Backup, backingUp);
        CopyFileInto(job.Input, *job.BackupWriter);
        job.BackupWriter->Finish();
      }
      job.Writer = std::make_unique<TFileReplacer>(job.Output, replacing);
      job.Result = ExchangeFile(job.Input, *job.Writer);
      if (job.Result.BytesAfterEndMark > 0 && options.InPlace && job.Backup.empty()) {
        throw EFileError(TrPlural(job.Result.BytesAfterEndMark,
                                  "%1: %n byte after the end-of-file mark (0x1A) at byte %2 is not part of the text "
                                  "and would be lost; keep it with --backup SUFFIX, or write the result elsewhere "
                                  "with -o",
                                  "%1: %n bytes after the end-of-file mark (0x1A) at byte %2 are not part of the "
                                  "text and would be lost; keep them with --backup SUFFIX, or write the result "
                                  "elsewhere with -o",
                                  {job.Input, std::to_string(job.Result.EndMarkOffset)}));
      }
      job.Writer->Finish();
    }
  } catch (const EReadOnlyFile& error) {
    Say(err, [&] { return TrFormat("%1 Use --force to replace it anyway.", {error.Message()}); });
    SayNothingChanged(err);
    return false;
  } catch (const Exception& error) {
    err << "plomaret-exchange: " << error.Message() << "\n";
    SayNothingChanged(err);
    return false;
  } catch (const std::bad_alloc&) {
    Say(err, [&] {
      return current != nullptr ? NotEnoughMemoryMessage("rewrite", current->Input, current->Input)
                                : Tr("Not enough memory.");
    });
    SayNothingChanged(err);
    return false;
  }
  return true;
}

// Replaces every file, keeping each old version until all are done; a failure puts
// back the ones already replaced.
bool ReplaceAll(std::vector<TJob>& jobs, std::ostream& err) {
  TJob* current = nullptr;
  try {
    for (TJob& job : jobs) {
      current = &job;
      if (job.BackupWriter) {
        job.BackupWriter->Replace();
        job.BackupReplaced = true;
      }
      job.Writer->Replace();
      job.Replaced = true;
    }
    return true;
  } catch (const Exception& error) {
    err << "plomaret-exchange: " << error.Message() << "\n";
  } catch (const std::bad_alloc&) {
    Say(err, [&] { return NotEnoughMemoryMessage("replace", current->Input, current->Input); });
    // An overwrite in place that could not be undone leaves the old version in its copy.
    for (const TFileReplacer* writer : {current->BackupWriter.get(), current->Writer.get()}) {
      if (writer != nullptr && !writer->OldVersionPath().empty()) {
        Say(err, [&] {
          return TrFormat("the old version of \"%1\" is kept as \"%2\"", {writer->Path(), writer->OldVersionPath()});
        });
      }
    }
  }
  bool allBack = true;
  const auto restore = [&](TFileReplacer& writer) {
    try {
      writer.Restore();
    } catch (const Exception& error) {
      err << "plomaret-exchange: " << error.Message() << "\n";
      allBack = false;
    } catch (const std::bad_alloc&) {
      Say(err, [&] {
        return TrFormat("there was not enough memory to put back \"%1\"; its old version is kept as \"%2\"",
                        {writer.Path(), writer.OldVersionPath()});
      });
      allBack = false;
    }
  };
  for (auto job = jobs.rbegin(); job != jobs.rend(); ++job) {
    if (job->Replaced) restore(*job->Writer);
    if (job->BackupReplaced) restore(*job->BackupWriter);
  }
  if (allBack) {
    SayNothingChanged(err);
  } else {
    Say(err, [] { return Tr("Not every file could be put back as it was: see above."); });
  }
  return false;
}

// Whether everything said so far reached its readers (a closed pipe, a full disk).
bool ReportsWritten(std::ostream& out, std::ostream& err) {
  out.flush();
  err.flush();
  return out.good() && err.good();
}

}  // namespace

std::string ExchangeReport(const std::string& input, const std::string& output, const std::string& backup,
                           const TFixupCounts& counts) {
  // Whole sentences, each picked by both counts, so that either count reads right.
  const int64_t commas = counts.CommasDropped;
  const std::string lines = std::to_string(counts.LinesCommentedOut);
  const bool oneLine = counts.LinesCommentedOut == 1;
  if (output != input) {
    return oneLine ? TrPlural(commas,
                              "%1 -> %2: %n texture-coordinate line lost its final comma, %3 vertex-colour line "
                              "commented out",
                              "%1 -> %2: %n texture-coordinate lines lost their final comma, %3 vertex-colour line "
                              "commented out",
                              {input, output, lines})
                   : TrPlural(commas,
                              "%1 -> %2: %n texture-coordinate line lost its final comma, %3 vertex-colour lines "
                              "commented out",
                              "%1 -> %2: %n texture-coordinate lines lost their final comma, %3 vertex-colour lines "
                              "commented out",
                              {input, output, lines});
  }
  if (!backup.empty()) {
    return oneLine ? TrPlural(commas,
                              "%1: %n texture-coordinate line lost its final comma, %2 vertex-colour line commented "
                              "out (original kept as %3)",
                              "%1: %n texture-coordinate lines lost their final comma, %2 vertex-colour line "
                              "commented out (original kept as %3)",
                              {input, lines, backup})
                   : TrPlural(commas,
                              "%1: %n texture-coordinate line lost its final comma, %2 vertex-colour lines commented "
                              "out (original kept as %3)",
                              "%1: %n texture-coordinate lines lost their final comma, %2 vertex-colour lines "
                              "commented out (original kept as %3)",
                              {input, lines, backup});
  }
  return oneLine ? TrPlural(commas,
                            "%1: %n texture-coordinate line lost its final comma, %2 vertex-colour line commented out",
                            "%1: %n texture-coordinate lines lost their final comma, %2 vertex-colour line commented "
                            "out",
                            {input, lines})
                 : TrPlural(commas,
                            "%1: %n texture-coordinate line lost its final comma, %2 vertex-colour lines commented "
                            "out",
                            "%1: %n texture-coordinate lines lost their final comma, %2 vertex-colour lines "
                            "commented out",
                            {input, lines});
}

TExchangeResult ExchangeFile(const std::string& input, TFileReplacer& output) {
  // One pass: a zero byte found on the way stops it with the error, and the new
  // version, not yet put in place, is dropped with nothing changed.
  TTextFileReader reader(input, kToolBlockSize);
  TExchangeResult result;
  TXFileFixup fixup;
  // A line's end is written when the next line comes: the last one's only when the
  // file had it or a line changed, as the window's Exchange leaves an unchanged text.
  bool lineEndDue = false;
  const TTextFileShape shape = reader.ReadLines([&](std::string_view line) {
    if (lineEndDue) output.Write("\r\n");
    const TFixupAction action = fixup.Next(line);
    result.Counts.Count(action);
    switch (action) {
      case faDropFinalComma:
        line.remove_suffix(1);
        break;
      case faCommentOut:
        output.Write("// ");
        break;
      case faKeep:
        break;
    }
    output.Write(line);
    lineEndDue = true;
  });
  const bool changed = result.Counts.CommasDropped + result.Counts.LinesCommentedOut > 0;
  if (lineEndDue && (shape.FinalLineEnded || changed)) output.Write("\r\n");
  if (shape.EndMarkOffset >= 0) {
    result.EndMarkOffset = shape.EndMarkOffset;
    result.BytesAfterEndMark = reader.Size() - shape.EndMarkOffset - 1;
  }
  return result;
}

int RunExchangeTool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  TOptions options;
  std::string problem = ParseArguments(argc, argv, options);
  if (options.Help) {
    out << Usage();
    return ReportsWritten(out, err) ? 0 : 1;
  }
  if (!problem.empty()) {
    err << "plomaret-exchange: " << problem << "\n" << Usage();
    return 2;
  }

  std::vector<TJob> jobs;
  try {
    std::set<std::string> seenNames;
    std::set<std::pair<dev_t, ino_t>> seenFiles;  // one file under two names is done once
    for (const std::string& input : options.Inputs) {
      if (!seenNames.insert(input).second) continue;
      struct stat info {};
      if (::stat(input.c_str(), &info) == 0 && !seenFiles.insert({info.st_dev, info.st_ino}).second) continue;
      TJob job;
      job.Input = input;
      job.Output = options.InPlace ? input : options.Output;
      if (!options.BackupSuffix.empty()) job.Backup = input + options.BackupSuffix;
      jobs.push_back(std::move(job));
    }
    if (const std::string clash = FindBackupClash(jobs); !clash.empty()) {
      err << "plomaret-exchange: " << clash << "\n";
      SayNothingChanged(err);
      return 1;
    }
    WarnOfLeftovers(jobs, err);
  } catch (const std::bad_alloc&) {
    Say(err, [] { return Tr("Not enough memory."); });
    SayNothingChanged(err);
    return 1;
  }
  if (!PrepareAll(jobs, options, err)) return 1;
  if (!ReplaceAll(jobs, err)) return 1;

  int status = 0;
  for (TJob& job : jobs) {
    for (TFileReplacer* writer : {job.BackupWriter.get(), job.Writer.get()}) {
      if (writer != nullptr && !writer->Release()) {
        Say(err, [&] { return TrFormat("warning: could not remove \"%1\"", {writer->OldVersionPath()}); });
      }
    }
  }
  try {
    for (const TJob& job : jobs) {
      out << ExchangeReport(job.Input, job.Output, job.Backup, job.Result.Counts) << "\n";
      if (job.Result.BytesAfterEndMark > 0) {
        err << "plomaret-exchange: "
            << TrPlural(
                   job.Result.BytesAfterEndMark,
                   "%1: %n byte after the end-of-file mark (0x1A) at byte %2 is not part of the text and was "
                   "dropped; %3 keeps it",
                   "%1: %n bytes after the end-of-file mark (0x1A) at byte %2 are not part of the text and were "
                   "dropped; %3 keeps them",
                   {job.Input, std::to_string(job.Result.EndMarkOffset), job.Backup.empty() ? job.Input : job.Backup})
            << "\n";
      }
    }
  } catch (const std::bad_alloc&) {
    Say(err, [] { return Tr("Every file was rewritten, but there was not enough memory to report how."); });
    status = 1;
  }
  if (!ReportsWritten(out, err)) status = 1;
  return status;
}

}  // namespace plomaret
