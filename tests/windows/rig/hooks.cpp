// Import hooks on the bridge DLL: its import address table entries for the
// message box, library loading, symbol look-up and memory device contexts are
// redirected to recorders, so the rig sees each call the bridge makes.
#include <windows.h>

#include <cstring>
#include <map>

#include "rig.h"

namespace rig {
namespace {

std::vector<Box> g_boxes;
std::vector<std::string> g_loads;
std::map<std::string, int> g_resolutions;
void* g_last_context;

decltype(&LoadLibraryW) g_load_w;
decltype(&LoadLibraryA) g_load_a;
decltype(&GetProcAddress) g_get_proc;
decltype(&CreateCompatibleDC) g_create_dc;

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
  return out;
}

int WINAPI RecordBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  g_boxes.push_back({Narrow(text), Narrow(caption), type, owner});
  return IDOK;
}

int WINAPI RecordBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  g_boxes.push_back({text ? text : "", caption ? caption : "", type, owner});
  return IDOK;
}

HMODULE WINAPI CountLoadW(LPCWSTR name) {
  g_loads.push_back("W:" + Narrow(name));
  return g_load_w(name);
}

HMODULE WINAPI CountLoadA(LPCSTR name) {
  g_loads.push_back(std::string("A:") + name);
  return g_load_a(name);
}

FARPROC WINAPI CountGetProc(HMODULE module, LPCSTR name) {
  if (reinterpret_cast<uintptr_t>(name) > 0xFFFF) ++g_resolutions[name];
  return g_get_proc(module, name);
}

HDC WINAPI RememberContext(HDC reference) {
  HDC context = g_create_dc(reference);
  g_last_context = context;
  return context;
}

// Points the module's import of `function` at `replacement`; returns the
// original address, or null when the module does not import it by name.
void* Patch(HMODULE module, const char* function, void* replacement) {
  auto* base = reinterpret_cast<unsigned char*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
  for (; import->Name; ++import) {
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + import->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (names->u1.Ordinal & IMAGE_ORDINAL_FLAG32) continue;
      auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
      DWORD old;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      void* original = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<uintptr_t>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return original;
    }
  }
  return nullptr;
}

}  // namespace

bool HookBridgeImports(void* bridge, char width) {
  HMODULE module = static_cast<HMODULE>(bridge);
  bool ok;
  if (width == 'W') {
    ok = Patch(module, "MessageBoxW", reinterpret_cast<void*>(&RecordBoxW)) != nullptr;
    g_load_w = reinterpret_cast<decltype(g_load_w)>(Patch(module, "LoadLibraryW", reinterpret_cast<void*>(&CountLoadW)));
    ok = ok && g_load_w;
  } else {
    ok = Patch(module, "MessageBoxA", reinterpret_cast<void*>(&RecordBoxA)) != nullptr;
    g_load_a = reinterpret_cast<decltype(g_load_a)>(Patch(module, "LoadLibraryA", reinterpret_cast<void*>(&CountLoadA)));
    ok = ok && g_load_a;
  }
  g_get_proc = reinterpret_cast<decltype(g_get_proc)>(Patch(module, "GetProcAddress", reinterpret_cast<void*>(&CountGetProc)));
  g_create_dc = reinterpret_cast<decltype(g_create_dc)>(Patch(module, "CreateCompatibleDC", reinterpret_cast<void*>(&RememberContext)));
  return ok && g_get_proc && g_create_dc;
}

std::vector<Box> TakeBoxes() {
  std::vector<Box> taken;
  taken.swap(g_boxes);
  return taken;
}

std::vector<std::string> TakeLoads() {
  std::vector<std::string> taken;
  taken.swap(g_loads);
  return taken;
}
int Resolutions(const std::string& symbol) { return g_resolutions[symbol]; }
void* LastMemoryContext() { return g_last_context; }

}  // namespace rig
