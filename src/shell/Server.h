#pragma once
#include <string>

// The program's web site and download server, fixed when the program is built.
namespace server {

// The server's address without a trailing "/", e.g. "https://brimlo.example".
std::wstring Address();
// Its host name (and port, if any), e.g. "brimlo.example".
std::wstring HostName();

}  // namespace server
