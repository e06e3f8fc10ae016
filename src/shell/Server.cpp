#include "shell/Server.h"

namespace server {

std::wstring Address() {
  std::wstring a = BRIMLO_SERVER;
  while (!a.empty() && a.back() == L'/')
    a.pop_back();
  return a;
}

std::wstring HostName() {
  std::wstring a = Address();
  const auto scheme = a.find(L"://");
  if (scheme != std::wstring::npos)
    a = a.substr(scheme + 3);
  const auto path = a.find(L'/');
  return path == std::wstring::npos ? a : a.substr(0, path);
}

}  // namespace server
