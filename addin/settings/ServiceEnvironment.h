// The Synquo service environments (production, US production, staging, US staging) and the
// description of the chosen one that the client library hands to Torvane.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace synquo {

// The raw property values that choose and adjust the environment; empty when absent.
struct ServiceSettings {
  std::string environment;  // "synquo_nx_server"
  std::string loginUrl;     // "synquo_nx_login_url"
  std::string serverUrl;    // "synquo_nx_server_url"
  std::string clientId;     // "synquo_nx_client_id"
  std::string audience;     // "synquo_nx_audience"
};

// The five values from the property table, as stored.
ServiceSettings readServiceSettings();

// {"LoginURL", "ServerURL", "ClientID", "Audience"} of the environment that the settings
// select (production for any unknown name), with each non-empty override in place.
nlohmann::json resolveServiceEnvironment(const ServiceSettings& settings);

}  // namespace synquo
