#include "clients/files/WindowsMailAccountWriter.h"

#include <vector>

#include "clients/files/SettingsFile.h"
#include "clients/files/WindowsMailAccountFile.h"
#include "clients/registry/InternetAccountValues.h"
#include "clients/registry/RegistryUndo.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kWindowsMailKey[] = "Software\\Microsoft\\Windows Mail";
const char kStoreRoot[] = "Store Root";
const char kProfileVariable[] = "%USERPROFILE%";
const char kDefaultAccountKey[] = "Software\\Microsoft\\IAM\\";

std::string TemporaryPath(const std::string& path) { return path + ".tmp"; }

}  // namespace

bool IsWindowsMailAccountFileName(const std::string& name) {
  const std::string prefix = "account";
  const std::string extension = ".oeaccount";
  return name.size() >= prefix.size() + extension.size() && EqualsNoCase(name.substr(0, prefix.size()), prefix) &&
         EqualsNoCase(name.substr(name.size() - extension.size()), extension) &&
         name.find_first_of("\\/:") == std::string::npos;
}

WindowsMailAccountWriter::WindowsMailAccountWriter(const AccountRequest& request, Registry& registry,
                                                   FileSystem& files, Environment& environment, Clock& clock,
                                                   UuidSource& uuids, RunLog& log, const ProviderSettings& provider)
    : request_(request),
      registry_(registry),
      files_(files),
      environment_(environment),
      clock_(clock),
      uuids_(uuids),
      log_(log),
      provider_(provider) {}

ConfigureResult WindowsMailAccountWriter::Configure() {
  std::string folder;
  ConfigureResult result = result::kConfigured;
  if (!FindAccountFolder(&folder, &result)) return result;

  log_ << "Searching for existant " << request_.address << " account ... ";
  const std::optional<std::string> found = request_.account_key ? FindNamedAccountFile(folder, *request_.account_key)
                                                                : FindAccountFile(folder, request_.address);
  if (found && !request_.overwrite) {
    log_.Line(" found. No changes will be made.");
    return result::kAlreadyExists;
  }
  log_.Line(found ? " found. Reseting settings to defaults." : "not found. Creating new account.");
  log_.BlankLine();
  log_.Line("Starting Windows Mail configuration...");
  log_.BlankLine();

  Target target;
  if (found) {
    target = {*found, found->substr(folder.size() + 1), true, ""};
  } else {
    std::string uuid;
    if (Status s = uuids_.NewUuid(&uuid)) {
      LogFailure("Creating an account identifier failed with error code " + std::to_string(s) + ".");
      return result::kSaveFailed;
    }
    target.name = "account{" + uuid + "}.oeaccount";
    target.path = folder + "\\" + target.name;
  }
  result = WriteAccountFile(&target);
  if (result == result::kConfigured && request_.make_default) result = MakeDefault(target);
  if (result == result::kConfigured) LogReport();
  return result;
}

// "Store Root" names the message store; Windows Mail writes it on its first
// start, with "%USERPROFILE%" standing for the user's profile folder.
AccountFolderState FindWindowsMailAccountFolder(Registry& registry, Environment& environment, std::string* folder) {
  RegKeyPtr key;
  RegValue store_root;
  if (registry.OpenKey(RegRoot::kCurrentUser, kWindowsMailKey, RegAccess::kRead, &key) != err::kSuccess ||
      key->QueryValue(kStoreRoot, &store_root) != err::kSuccess || RegText(store_root).empty())
    return AccountFolderState::kNoStore;
  // Windows Mail's own value ends with a backslash; one without it is taken as it stands.
  *folder = RegText(store_root) + "Local Folders";
  const size_t variable = folder->find(kProfileVariable);
  if (variable == std::string::npos) return AccountFolderState::kFound;
  std::string profile;
  if (!environment.Variable("USERPROFILE", &profile) || profile.empty()) return AccountFolderState::kNoProfileVariable;
  folder->replace(variable, sizeof kProfileVariable - 1, profile);
  return AccountFolderState::kFound;
}

bool WindowsMailAccountWriter::FindAccountFolder(std::string* folder, ConfigureResult* failure) {
  switch (FindWindowsMailAccountFolder(registry_, environment_, folder)) {
    case AccountFolderState::kFound:
      return true;
    case AccountFolderState::kNoStore:
      *failure = result::kNotRunYet;
      return false;
    case AccountFolderState::kNoProfileVariable:
      break;
  }
  LogFailure("The environment variable USERPROFILE is not set; " + *folder + " names no folder.");
  *failure = result::kSaveFailed;
  return false;
}

std::optional<std::string> WindowsMailAccountWriter::FindAccountFile(const std::string& folder,
                                                                     const std::string& address) {
  const std::string pattern = folder + "\\account*";
  log_.Line(pattern);
  std::vector<std::string> names;
  const Status s = files_.List(pattern, &names);
  // No match, or no folder: no account yet.
  if (IsMissing(s)) return std::nullopt;
  if (s) {
    log_.Line("FindNextFile error. Error is :" + std::to_string(s));
    return std::nullopt;
  }
  for (const std::string& name : names) {
    // Only these are accounts to Windows Mail; an "account{...}.oeaccount.tmp"
    // is what a cut-off run of some program left behind.
    if (!IsWindowsMailAccountFileName(name)) continue;
    const std::string path = folder + "\\" + name;
    if (FileHoldsAddress(path, address)) return path;
  }
  return std::nullopt;
}

std::optional<std::string> WindowsMailAccountWriter::FindNamedAccountFile(const std::string& folder,
                                                                          const std::string& name) {
  const std::string path = folder + "\\" + name;
  log_.Line(path);
  if (FileHoldsAddress(path, request_.address)) return path;
  return std::nullopt;
}

bool WindowsMailAccountWriter::FileHoldsAddress(const std::string& path, const std::string& address) {
  std::string bytes;
  std::u16string text;
  if (files_.ReadAll(path, &bytes) != err::kSuccess || !ReadUtf16Le(bytes, &text)) return false;
  return WindowsMailAccountFile::HoldsAddress(text, address);
}

ConfigureResult WindowsMailAccountWriter::WriteAccountFile(Target* target) {
  const WindowsMailAccountFile file(request_, provider_);
  std::u16string content = file.NewFile();
  if (target->existed) {
    log_.Line(" found existant at: " + target->path);
    std::u16string text;
    if (!ReadExisting(target, &text)) return result::kSaveFailed;
    const std::optional<std::u16string> rewritten = file.Rewrite(text);
    if (!rewritten) {
      LogFailure(target->path + " is not a well-formed account file; it is left as it is.");
      return result::kSaveFailed;
    }
    content = *rewritten;
  }
  const SaveOutcome saved =
      SettingsFile(files_, clock_).Save(target->path, TemporaryPath(target->path), Utf16LeBytes(content));
  if (!saved.ok()) {
    LogFailure(saved.Describe());
    return result::kSaveFailed;
  }
  return result::kConfigured;
}

// A read-only account file is locked on purpose (and Windows would refuse
// to replace it anyway).
bool WindowsMailAccountWriter::ReadExisting(Target* target, std::u16string* text) {
  std::string refusal = ReadOnlyRefusal(files_, target->path);
  if (refusal.empty()) {
    if (Status s = files_.ReadAll(target->path, &target->original))
      refusal = DescribeFailure("Reading", target->path, s);
  }
  if (!refusal.empty()) {
    LogFailure(refusal);
    return false;
  }
  // It was UTF-16 text when the search read it; another program may have changed it since.
  if (!ReadUtf16Le(target->original, text)) {
    LogFailure(target->path + " is not UTF-16 text; it is left as it is.");
    return false;
  }
  return true;
}

// The account file is in place. A default that cannot be set takes it back,
// so that the run fails with everything as it was.
ConfigureResult WindowsMailAccountWriter::MakeDefault(const Target& target) {
  RegistryUndo undo(registry_);
  undo.RememberKey(RegRoot::kCurrentUser, kDefaultAccountKey);
  Status s = undo.RememberValues(RegRoot::kCurrentUser, kDefaultAccountKey, {kDefaultMailAccount});
  // The file's name alone: Windows Mail looks for it in its own folder.
  if (!s) s = WriteDefaultMailAccount(registry_, kDefaultAccountKey, target.name);
  if (!s) return result::kConfigured;

  LogFailure("Making the account the default failed with error code " + std::to_string(s) + ".");
  if (Status undone = undo.Undo())
    LogFailure("Unable to restore the previous default account (error code: " + std::to_string(undone) + ").");
  TakeBack(target);
  return result::kSaveFailed;
}

void WindowsMailAccountWriter::TakeBack(const Target& target) {
  const Status s =
      target.existed
          ? SettingsFile(files_, clock_).Save(target.path, TemporaryPath(target.path), target.original).status
          : files_.Remove(target.path);
  if (s) LogFailure("Unable to restore " + target.path + " (error code: " + std::to_string(s) + ").");
}

void WindowsMailAccountWriter::LogReport() {
  log_.Line("The following settings were written/overwritten in Windows Mail's configuration:");
  log_.BlankLine();
  for (const std::string& line : WindowsMailAccountFile(request_, provider_).Report()) log_.Line(line);
}

void WindowsMailAccountWriter::LogFailure(const std::string& text) {
  log_.Line(text);
  log_.BlankLine();
}

}  // namespace pw
