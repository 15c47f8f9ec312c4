// Runs the program with CreateProcessW, as a parent program on Windows starts it: a
// UTF-16 command line and environment block, standard output and error into files.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <random>

#include "platform/fs_path.h"
#include "run_process.h"

namespace velnor::e2e {
namespace {

std::wstring Wide(const std::string& utf8) {
  return FsPath(utf8).wstring();
}

// One argument quoted so that the program's runtime splits it back as it was: inside
// quotes, backslashes count only before a quote.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

bool SameName(std::wstring a, std::wstring b) {
  const auto upper = [](std::wstring& text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  };
  upper(a);
  upper(b);
  return a == b;
}

// The block the program gets: the hidden per-drive entries ("=C:=C:\") first, as Windows
// keeps them, then the first entries, the inherited ones and the set ones.
std::wstring BuildEnvironment(const RunOptions& options) {
  std::vector<std::wstring> hidden;
  std::vector<std::wstring> inherited;
  wchar_t* block = ::GetEnvironmentStringsW();
  for (const wchar_t* entry = block; entry != nullptr && *entry != L'\0';
       entry += std::wstring_view(entry).size() + 1) {
    (*entry == L'=' ? hidden : inherited).emplace_back(entry);
  }
  if (block != nullptr) ::FreeEnvironmentStringsW(block);
  if (hidden.empty()) hidden.emplace_back(L"=C:=C:\\");

  std::vector<std::wstring> names;
  for (const auto& [name, value] : options.firstEntries) names.push_back(Wide(name));
  for (const auto& [name, value] : options.set) names.push_back(Wide(name));
  for (const std::string& name : options.unset) names.push_back(Wide(name));
  const auto isReplaced = [&](const std::wstring& entry) {
    const std::wstring name = entry.substr(0, entry.find(L'='));
    return std::any_of(names.begin(), names.end(),
                       [&](const auto& n) { return SameName(n, name); });
  };

  std::wstring environment;
  const auto add = [&](const std::wstring& entry) {
    environment += entry;
    environment += L'\0';
  };
  for (const std::wstring& entry : hidden) add(entry);
  for (const auto& [name, value] : options.firstEntries) add(Wide(name + "=" + value));
  for (const std::wstring& entry : inherited) {
    if (!isReplaced(entry)) add(entry);
  }
  for (const auto& [name, value] : options.set) add(Wide(name + "=" + value));
  environment += L'\0';
  return environment;
}

// A new file for the program's output that the program inherits.
HANDLE OutputFile(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(path.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const RunOptions& options) {
  RunResult result;
  std::random_device random;
  const std::string tag = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(random());
  const std::filesystem::path outName =
      std::filesystem::temp_directory_path() / ("velnor-e2e-out-" + tag);
  const std::filesystem::path errName =
      std::filesystem::temp_directory_path() / ("velnor-e2e-err-" + tag);
  const HANDLE out = OutputFile(outName);
  const HANDLE err = OutputFile(errName);
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE in = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, OPEN_EXISTING, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    result.err = "cannot create the output files";
    return result;
  }

  std::wstring commandLine = Quoted(program.wstring());
  for (const std::string& arg : args) commandLine += L" " + Quoted(Wide(arg));
  std::wstring environment = BuildEnvironment(options);
  std::error_code ignored;
  const std::wstring folder = std::filesystem::absolute(options.workingFolder, ignored).wstring();

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  const bool started =
      ::CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                       folder.c_str(), &startup, &process);
  const DWORD startError = ::GetLastError();
  ::CloseHandle(out);
  ::CloseHandle(err);
  if (in != INVALID_HANDLE_VALUE) ::CloseHandle(in);

  if (started) {
    ::CloseHandle(process.hThread);
    const auto waitFor = [&](std::chrono::milliseconds time) {
      return ::WaitForSingleObject(process.hProcess,
                                   static_cast<DWORD>(std::max<long long>(0, time.count())));
    };
    if (options.killAfter) {
      const auto at = std::chrono::duration_cast<std::chrono::milliseconds>(*options.killAfter);
      if (waitFor(at) == WAIT_TIMEOUT) ::TerminateProcess(process.hProcess, 128 + 9);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        start + options.timeLimit - std::chrono::steady_clock::now());
    if (waitFor(left) == WAIT_TIMEOUT) {
      ::TerminateProcess(process.hProcess, 128 + 9);
      ::WaitForSingleObject(process.hProcess, INFINITE);
      result.timedOut = true;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    result.exitStatus = static_cast<int>(exitCode);
    ::CloseHandle(process.hProcess);
  }
  result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  result.out = Slurp(outName);
  result.err = Slurp(errName);
  if (!started) result.err += "CreateProcessW failed with error " + std::to_string(startError);
  std::filesystem::remove(outName, ignored);
  std::filesystem::remove(errName, ignored);
  return result;
}

}  // namespace velnor::e2e
