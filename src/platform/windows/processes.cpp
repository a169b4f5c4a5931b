#include "platform/windows/processes.h"

#include "core/probes/process_match.h"
#include "platform/windows/wide.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <tlhelp32.h>
#include <wbemidl.h>

namespace vantor::windows_backend {

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T> struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p != nullptr) {
            p->Release();
        }
    }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
};

// COM for the calling thread for as long as it lives; a thread that already has it keeps its own mode.
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) {
            CoUninitialize();
        }
    }
};

struct Bstr {
    BSTR s;
    explicit Bstr(const std::wstring& text)
        : s(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(s); }
};

} // namespace

std::vector<ProcessInfo> SnapshotProcesses() {
    std::vector<ProcessInfo> out;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return out;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        out.push_back({static_cast<int64_t>(entry.th32ProcessID), Utf8(entry.szExeFile), false});
    }
    CloseHandle(snapshot);
    return out;
}

void TerminateProcessesNamed(const std::string& name) {
    const DWORD self = GetCurrentProcessId();
    for (const ProcessInfo& p : SnapshotProcesses()) {
        if (static_cast<DWORD>(p.pid) == self ||
            !ProcessNameMatches(name, p.exeName, false, NameRule::Windows)) {
            continue;
        }
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(p.pid));
        if (process != nullptr) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
}

namespace {

// Runs the management service's query for the processes of that name and hands each instance to `f`
// with the service. Nothing happens when the service cannot be reached or the query fails.
template <typename F> void ForEachWmiProcess(const std::string& name, F&& f) {
    if (name.empty()) {
        return;
    }
    ComScope com;
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(&locator)))) {
        return;
    }
    ComPtr<IWbemServices> services;
    const Bstr ns(L"ROOT\\CIMV2");
    if (FAILED(locator->ConnectServer(ns.s, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services))) {
        return;
    }
    // The service acts with the caller's rights ("impersonate").
    CoSetProxyBlanket(services.p, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    const Bstr language(L"WQL");
    const Bstr query(Wide(WmiProcessQuery(name)));
    ComPtr<IEnumWbemClassObject> found;
    if (FAILED(services->ExecQuery(language.s, query.s, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                   nullptr, &found))) {
        return;
    }
    for (;;) {
        ComPtr<IWbemClassObject> process;
        ULONG returned = 0;
        if (found->Next(static_cast<LONG>(WBEM_INFINITE), 1, &process, &returned) != WBEM_S_NO_ERROR ||
            returned == 0) {
            break;
        }
        f(*services.p, *process.p);
    }
}

} // namespace

void TerminateProcessesByWmi(const std::string& name) {
    const Bstr method(L"Terminate");
    ForEachWmiProcess(name, [&](IWbemServices& services, IWbemClassObject& process) {
        VARIANT path;
        VariantInit(&path);
        if (SUCCEEDED(process.Get(L"__PATH", 0, &path, nullptr, nullptr)) && path.vt == VT_BSTR) {
            ComPtr<IWbemClassObject> result;
            services.ExecMethod(path.bstrVal, method.s, 0, nullptr, nullptr, &result, nullptr);
        }
        VariantClear(&path);
    });
}

std::vector<int64_t> WmiProcessIds(const std::string& name) {
    std::vector<int64_t> ids;
    ForEachWmiProcess(name, [&](IWbemServices&, IWbemClassObject& process) {
        VARIANT id;
        VariantInit(&id);
        if (SUCCEEDED(process.Get(L"ProcessId", 0, &id, nullptr, nullptr)) &&
            SUCCEEDED(VariantChangeType(&id, &id, 0, VT_I8))) {
            ids.push_back(id.llVal);
        }
        VariantClear(&id);
    });
    return ids;
}

void CloseWindowTitled(const std::string& title) {
    if (title.empty()) {
        return;
    }
    const std::wstring wide = Wide(title);
    if (HWND window = FindWindowW(nullptr, wide.c_str())) {
        // Posted, not sent: a program that does not answer cannot hold up the caller.
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

} // namespace vantor::windows_backend
