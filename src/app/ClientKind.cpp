#include "app/ClientKind.h"

namespace pw {

int ClientNumber(ClientKind kind) { return static_cast<int>(kind); }

std::optional<ClientKind> ClientKindFromNumber(int number) {
  if (number < 0 || number >= kClientCount) return std::nullopt;
  return kClientKinds[number];
}

// The default-client codes count from 1, so that 0 can mean none.
DefaultClientCode DefaultClientCodeOf(ClientKind kind) { return ClientNumber(kind) + 1; }

std::optional<ClientKind> ClientKindFromDefaultCode(DefaultClientCode code) {
  if (code <= kNoDefaultClient) return std::nullopt;
  return ClientKindFromNumber(code - 1);
}

}  // namespace pw
