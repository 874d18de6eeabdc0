// Stand-in for the platform's Standard TCP/IP Port monitor, which Wine
// lacks. Registered in the test prefix under
// HKLM\System\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port,
// where the spooler loads it (in the printing process, under Wine). It
// keeps its ports as that monitor does, one key each under Ports (HostName,
// PortNumber, Protocol, SNMP Enabled), and:
//   XcvData "AddPort" (PORT_DATA_1, version 1; asked for with
//     SERVER_ACCESS_ADMINISTER) makes a port, ERROR_ALREADY_EXISTS for one
//     that is there; "DeletePort" (DELETE_PORT_DATA_1) deletes one;
//   a job's bytes go over TCP to 127.0.0.1 on the port's TCP port, never
//     to the host it names, so a test can listen for them.
// Every command and job is appended to C:\tcpmon.log, one a line.
// HKCU\Software\TcpMonStandIn, DWORD RefuseAddPort, makes AddPort fail with
// that error.
#include <winsock2.h>
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>
#include <cstdio>
#include <string>

namespace {

const char kPortsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

// The documented input of AddPort and DeletePort, written out anew here.
struct PortData1 {
    WCHAR sztPortName[64];
    DWORD dwVersion, dwProtocol, cbSize, dwReserved;
    WCHAR sztHostAddress[49];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    WCHAR sztIPAddress[16];
    BYTE Reserved[540];
    DWORD dwPortNumber, dwSNMPEnabled, dwSNMPDevIndex;
};
struct DeletePortData1 {
    WCHAR psztName[64];
    BYTE Reserved[98];
    DWORD dwVersion, dwReserved;
};

void Log(const std::string& line) {
    HANDLE log = CreateFileA("C:\\tcpmon.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written;
    WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(log);
}

std::string Narrow(const WCHAR* text, size_t count) {
    char out[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(wcsnlen(text, count)), out, sizeof out - 1, nullptr,
                        nullptr);
    return out;
}

std::string PortKey(const std::string& name) { return std::string(kPortsKey) + "\\" + name; }

DWORD ConfiguredRefusal() {
    DWORD error = 0, size = sizeof error;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\TcpMonStandIn", "RefuseAddPort", RRF_RT_REG_DWORD, nullptr, &error,
                 &size);
    return error;
}

DWORD AddPort(const BYTE* input, DWORD size, ACCESS_MASK access) {
    if (!(access & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    if (!input || size < sizeof(PortData1)) return ERROR_INVALID_PARAMETER;
    PortData1 data;
    memcpy(&data, input, sizeof data);
    const std::string name = Narrow(data.sztPortName, 64), host = Narrow(data.sztHostAddress, 49);
    char line[512];
    snprintf(line, sizeof line, "AddPort %s host=%s port=%lu protocol=%lu snmp=%lu version=%lu size=%lu",
             name.c_str(), host.c_str(), data.dwPortNumber, data.dwProtocol, data.dwSNMPEnabled, data.dwVersion,
             data.cbSize);
    Log(line);
    if (DWORD refusal = ConfiguredRefusal()) return refusal;
    if (data.dwVersion != 1 || data.cbSize != sizeof data || name.empty() || host.empty()) return ERROR_INVALID_PARAMETER;
    HKEY key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, PortKey(name).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return ERROR_ACCESS_DENIED;
    if (disposition == REG_OPENED_EXISTING_KEY) {
        RegCloseKey(key);
        return ERROR_ALREADY_EXISTS;
    }
    RegSetValueExA(key, "HostName", 0, REG_SZ, reinterpret_cast<const BYTE*>(host.c_str()),
                   static_cast<DWORD>(host.size() + 1));
    const DWORD values[] = {data.dwPortNumber, data.dwProtocol, data.dwSNMPEnabled};
    const char* names[] = {"PortNumber", "Protocol", "SNMP Enabled"};
    for (int i = 0; i < 3; ++i)
        RegSetValueExA(key, names[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&values[i]), sizeof values[i]);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

DWORD DeletePort(const BYTE* input, DWORD size) {
    if (!input || size < sizeof(DeletePortData1)) return ERROR_INVALID_PARAMETER;
    DeletePortData1 data;
    memcpy(&data, input, sizeof data);
    const std::string name = Narrow(data.psztName, 64);
    Log("DeletePort " + name);
    if (name.empty()) return ERROR_INVALID_PARAMETER;
    const LONG error = RegDeleteKeyA(HKEY_LOCAL_MACHINE, PortKey(name).c_str());
    return error == ERROR_FILE_NOT_FOUND ? ERROR_UNKNOWN_PORT : static_cast<DWORD>(error);
}

BOOL WINAPI EnumTcpPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed, LPDWORD returned) {
    static WCHAR monitor[] = L"Standard TCP/IP Port", description[] = L"Standard TCP/IP Port (stand-in)";
    WCHAR names[64][64];
    DWORD count = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD length = 64; count < 64 && RegEnumKeyExW(key, count, names[count], &length, nullptr, nullptr,
                                                           nullptr, nullptr) == ERROR_SUCCESS;
             length = 64)
            ++count;
        RegCloseKey(key);
    }
    const DWORD entry = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    DWORD total = count * entry;
    for (DWORD i = 0; i < count; ++i)
        total += static_cast<DWORD>((wcslen(names[i]) + 1) * sizeof(WCHAR)) +
                 (level == 1 ? 0 : sizeof monitor + sizeof description);
    *needed = total;
    if (returned) *returned = 0;
    if (size < total || !ports) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    WCHAR* strings = reinterpret_cast<WCHAR*>(ports + count * entry);
    auto put = [&strings](const WCHAR* text) {
        WCHAR* at = strings;
        wcscpy(at, text);
        strings += wcslen(text) + 1;
        return at;
    };
    for (DWORD i = 0; i < count; ++i) {
        PORT_INFO_2W* info = reinterpret_cast<PORT_INFO_2W*>(ports + i * entry);
        info->pPortName = put(names[i]);
        if (level == 1) continue;
        info->pMonitorName = put(monitor);
        info->pDescription = put(description);
        info->fPortType = PORT_TYPE_WRITE;
        info->Reserved = 0;
    }
    if (returned) *returned = count;
    return TRUE;
}

struct Port {
    std::string name;
    DWORD tcpPort = 0;
    SOCKET socket = INVALID_SOCKET;
    DWORD sent = 0;
};

BOOL WINAPI OpenTcpPort(HANDLE, LPWSTR name, PHANDLE handle) {
    const std::string narrow = Narrow(name, 64);
    DWORD tcpPort = 0, size = sizeof tcpPort;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, PortKey(narrow).c_str(), "PortNumber", RRF_RT_REG_DWORD, nullptr, &tcpPort,
                     &size) != ERROR_SUCCESS) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return FALSE;
    }
    Port* port = new Port;
    port->name = narrow;
    port->tcpPort = tcpPort;
    *handle = port;
    return TRUE;
}

BOOL WINAPI StartTcpDoc(HANDLE handle, LPWSTR, DWORD, DWORD, LPBYTE) {
    Port* port = static_cast<Port*>(handle);
    if (port->socket != INVALID_SOCKET) return TRUE;
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    port->socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port->tcpPort));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (port->socket == INVALID_SOCKET || connect(port->socket, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        const DWORD error = WSAGetLastError();
        if (port->socket != INVALID_SOCKET) closesocket(port->socket);
        port->socket = INVALID_SOCKET;
        Log("job " + port->name + " not connected to 127.0.0.1:" + std::to_string(port->tcpPort));
        SetLastError(error);
        return FALSE;
    }
    port->sent = 0;
    return TRUE;
}

BOOL WINAPI WriteTcpPort(HANDLE handle, LPBYTE bytes, DWORD size, LPDWORD written) {
    Port* port = static_cast<Port*>(handle);
    *written = 0;
    while (*written < size) {
        const int sent = send(port->socket, reinterpret_cast<const char*>(bytes) + *written,
                              static_cast<int>(size - *written), 0);
        if (sent <= 0) {
            SetLastError(WSAGetLastError());
            return FALSE;
        }
        *written += static_cast<DWORD>(sent);
    }
    port->sent += size;
    return TRUE;
}

BOOL WINAPI EndTcpDoc(HANDLE handle) {
    Port* port = static_cast<Port*>(handle);
    if (port->socket == INVALID_SOCKET) return TRUE;
    shutdown(port->socket, SD_SEND);
    closesocket(port->socket);
    port->socket = INVALID_SOCKET;
    Log("job " + port->name + " " + std::to_string(port->sent) + " bytes to 127.0.0.1:" + std::to_string(port->tcpPort));
    return TRUE;
}

BOOL WINAPI CloseTcpPort(HANDLE handle) {
    EndTcpDoc(handle);
    delete static_cast<Port*>(handle);
    return TRUE;
}

struct Xcv {
    ACCESS_MASK access;
};

BOOL WINAPI OpenXcv(HANDLE, LPCWSTR, ACCESS_MASK access, PHANDLE handle) {
    *handle = new Xcv{access};
    return TRUE;
}

DWORD WINAPI XcvCommand(HANDLE handle, LPCWSTR command, PBYTE input, DWORD inputSize, PBYTE, DWORD,
                         PDWORD needed) {
    if (needed) *needed = 0;
    const ACCESS_MASK access = static_cast<Xcv*>(handle)->access;
    if (!lstrcmpW(command, L"AddPort")) return AddPort(input, inputSize, access);
    if (!lstrcmpW(command, L"DeletePort"))
        return access & SERVER_ACCESS_ADMINISTER ? DeletePort(input, inputSize) : ERROR_ACCESS_DENIED;
    return ERROR_INVALID_PARAMETER;
}

BOOL WINAPI CloseXcv(HANDLE handle) {
    delete static_cast<Xcv*>(handle);
    return TRUE;
}

VOID WINAPI ShutdownMonitor(HANDLE) {}

}  // namespace

extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    static MONITOR2 functions = {};
    functions.cbSize = sizeof functions;
    functions.pfnEnumPorts = EnumTcpPorts;
    functions.pfnOpenPort = OpenTcpPort;
    functions.pfnStartDocPort = StartTcpDoc;
    functions.pfnWritePort = WriteTcpPort;
    functions.pfnEndDocPort = EndTcpDoc;
    functions.pfnClosePort = CloseTcpPort;
    functions.pfnXcvOpenPort = OpenXcv;
    functions.pfnXcvDataPort = XcvCommand;
    functions.pfnXcvClosePort = CloseXcv;
    functions.pfnShutdown = ShutdownMonitor;
    *monitor = &functions;
    return &functions;
}
