// Puts one POP3/SMTP account into Eudora's settings file Eudora.ini as a
// personality: rewrites the personality that already has the address (only
// with overwrite), fills the empty dominant personality, or adds one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "app/RunLog.h"
#include "clients/ConfigureSkeleton.h"
#include "clients/files/EudoraIni.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

// Where Eudora keeps Eudora.ini, in the order it is looked for: its folder in
// the user's application data, else, for an Eudora set to keep its settings
// beside itself, the folder of `program` as App Paths registers it.
std::vector<std::string> EudoraSettingsPaths(Registry& registry, Environment& environment,
                                             const std::string& program);

class EudoraAccountWriter : public ConfigureSkeleton {
 public:
  // `program` is Eudora's file name as App Paths registers it. Nothing is
  // read or written here. Eudora keeps no default account: the request's
  // make-default flag is not used.
  EudoraAccountWriter(const AccountRequest& request, const std::string& program, Registry& registry,
                      FileSystem& files, Environment& environment, Clock& clock, RunLog& log,
                      const ProviderSettings& provider = kProvider);

  // Configure: 0 written; 1 Eudora.ini was found in neither place; 5 a
  // personality with this return address exists and overwrite is off; 7
  // Eudora.ini could not be read, was refused (read-only, UTF-16) or could not
  // be saved; 8 the system's code page cannot hold the display name or the
  // address. Unless it returns 0, the file is as it was and no temporary file
  // is left. Given the request's account key (a section name), the
  // personality of that section is the one found, whatever its return address.

 private:
  StepResult Open() override;
  StepResult Find(bool* found) override;
  StepResult Rewrite() override;
  StepResult Add() override;
  StepResult Save() override;
  std::vector<std::string> Report() override;

  StepResult ReadSettings();
  // The personality's lines as the file holds them, in the system's code page.
  EudoraKeys StoredKeys() const;

  // The address and display name in the system's code page, as the file holds them.
  std::string ansi_address_;
  std::string ansi_display_name_;
  std::string program_;
  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  Clock& clock_;
  ProviderSettings provider_;
  std::string path_;
  std::optional<EudoraIni> ini_;
  std::optional<size_t> found_;  // the header line of the personality found
};

}  // namespace pw
