#include "clients/files/WindowsMailAccountWriter.h"

#include "clients/files/SettingsFileChecks.h"
#include "clients/files/WindowsMailAccountFile.h"
#include "clients/files/WindowsMailAccountFolder.h"
#include "clients/registry/InternetAccountValues.h"
#include "clients/registry/RegistryUndo.h"
#include "platform/SafeReplace.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kDefaultAccountKey[] = "Software\\Microsoft\\IAM\\";

const WriterWording kWording = {
    "Searching for existant ", false, " ", "", "Reseting", true,
    "The following settings were written/overwritten in Windows Mail's configuration:", false, false, false,
};

std::string TemporaryPath(const std::string& path) { return path + ".tmp"; }

}  // namespace

WindowsMailAccountWriter::WindowsMailAccountWriter(const AccountRequest& request, Registry& registry,
                                                   FileSystem& files, Environment& environment, Clock& clock,
                                                   UuidSource& uuids, RunLog& log, const ProviderSettings& provider)
    : ConfigureSkeleton(request, std::nullopt, log, kWording),
      registry_(registry),
      files_(files),
      environment_(environment),
      clock_(clock),
      uuids_(uuids),
      provider_(provider) {}

StepResult WindowsMailAccountWriter::Open() {
  switch (FindWindowsMailAccountFolder(registry_, environment_, &folder_)) {
    case AccountFolderState::kFound:
      return std::nullopt;
    case AccountFolderState::kNoStore:
      return Failure{result::kNotRunYet, {}};
    case AccountFolderState::kNoProfileVariable:
      break;
  }
  return FileFailure("The environment variable USERPROFILE is not set; " + folder_ + " names no folder.");
}

// Automatic mode's account is the file the lookup named, when it still holds
// the address: another file with the same address is not it.
StepResult WindowsMailAccountWriter::Find(bool* found) {
  if (request_.account_key) {
    const std::string path = folder_ + "\\" + *request_.account_key;
    log_.Line(path);
    if (AccountFileHoldsAddress(files_, path, request_.address)) found_ = path;
  } else {
    found_ = FindAccountFile(files_, log_, folder_, request_.address);
  }
  *found = found_.has_value();
  return std::nullopt;
}

// A read-only account file is locked on purpose (and Windows would refuse to
// replace it anyway).
StepResult WindowsMailAccountWriter::Rewrite() {
  log_.Line("Starting Windows Mail configuration...");
  log_.BlankLine();
  target_ = {*found_, found_->substr(folder_.size() + 1), true, ""};
  log_.Line(" found existant at: " + target_.path);
  if (StepResult refused = RefuseReadOnly(files_, target_.path)) return refused;
  if (Status s = files_.ReadAll(target_.path, &target_.original))
    return FileFailure(DescribeFailure("Reading", target_.path, s));
  // It was UTF-16 text when the search read it; another program may have changed it since.
  std::u16string text;
  if (!ReadUtf16Le(target_.original, &text))
    return FileFailure(target_.path + " is not UTF-16 text; it is left as it is.");
  const std::optional<std::u16string> rewritten = WindowsMailAccountFile(request_, provider_).Rewrite(text);
  if (!rewritten) return FileFailure(target_.path + " is not a well-formed account file; it is left as it is.");
  content_ = *rewritten;
  return std::nullopt;
}

StepResult WindowsMailAccountWriter::Add() {
  log_.Line("Starting Windows Mail configuration...");
  log_.BlankLine();
  std::string uuid;
  if (Status s = uuids_.NewUuid(&uuid))
    return FileFailure("Creating an account identifier failed with error code " + std::to_string(s) + ".");
  target_.name = "account{" + uuid + "}.oeaccount";
  target_.path = folder_ + "\\" + target_.name;
  content_ = WindowsMailAccountFile(request_, provider_).NewFile();
  return std::nullopt;
}

StepResult WindowsMailAccountWriter::Save() {
  const SaveOutcome saved =
      SafeReplace(files_, clock_).Save(target_.path, TemporaryPath(target_.path), Utf16LeBytes(content_));
  if (!saved.ok()) return FileFailure(saved.Describe());
  if (request_.make_default) return MakeDefault();
  return std::nullopt;
}

std::vector<std::string> WindowsMailAccountWriter::Report() {
  return WindowsMailAccountFile(request_, provider_).Report();
}

// The account file is in place. A default that cannot be set takes it back,
// so that the run fails with everything as it was.
StepResult WindowsMailAccountWriter::MakeDefault() {
  RegistryUndo undo(registry_);
  undo.RememberKey(RegRoot::kCurrentUser, kDefaultAccountKey);
  Status s = undo.RememberValues(RegRoot::kCurrentUser, kDefaultAccountKey, {kDefaultMailAccount});
  // The file's name alone: Windows Mail looks for it in its own folder.
  if (!s) s = WriteDefaultMailAccount(registry_, kDefaultAccountKey, target_.name);
  if (!s) return std::nullopt;

  Failure failure = FileFailure("Making the account the default failed with error code " + std::to_string(s) + ".");
  if (Status undone = undo.Undo()) {
    failure.lines.push_back("Unable to restore the previous default account (error code: " + std::to_string(undone) +
                            ").");
    failure.lines.push_back("");
  }
  for (const std::string& line : TakeBackFile()) failure.lines.push_back(line);
  return failure;
}

std::vector<std::string> WindowsMailAccountWriter::TakeBackFile() {
  const Status s =
      target_.existed
          ? SafeReplace(files_, clock_).Save(target_.path, TemporaryPath(target_.path), target_.original).status
          : files_.Remove(target_.path);
  if (!s) return {};
  return {"Unable to restore " + target_.path + " (error code: " + std::to_string(s) + ").", ""};
}

}  // namespace pw
