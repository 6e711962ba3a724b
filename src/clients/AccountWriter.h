// What the run asks of a client's writer: one configure, one result. Every
// writer of the program fills the configure skeleton (ConfigureSkeleton).
#pragma once

#include "clients/ConfigureResult.h"

namespace pw {

class AccountWriter {
 public:
  AccountWriter() = default;
  AccountWriter(const AccountWriter&) = delete;
  AccountWriter& operator=(const AccountWriter&) = delete;
  virtual ~AccountWriter() = default;

  virtual ConfigureResult Configure() = 0;
};

}  // namespace pw
