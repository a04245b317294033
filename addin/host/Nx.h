// The add-in's one way into NX: the running NX's session, user interface and UF functions.
// nx() is defined by the library that binds NX: the real NX Open adapter on a designer's PC,
// the simulated NX here.
#pragma once

#include "addin/host/NxException.h"
#include "addin/host/Session.h"
#include "addin/host/UI.h"
#include "addin/host/Uf.h"

namespace host {

class Nx {
 public:
  virtual ~Nx() = default;
  // Session::GetSession(); null only when NX has no session.
  virtual Session* GetSession() = 0;
  // UI::GetUI(); null only when NX has no user interface.
  virtual host::UI* GetUI() = 0;
  virtual host::Uf& Uf() = 0;
};

// The NX of this process. Call only on NX's user-interface thread.
Nx& nx();

}  // namespace host
