// NetPindle.dll, the shell extension of the NetPindle family as the setup installs it: an
// in-process COM server of the Find menu extension class. Its object answers the shell's
// extension protocol (IShellExtInit, IContextMenu) and adds nothing to the menu yet.
#include <windows.h>
#include <shlobj.h>

namespace {

// {91171ef1-6713-4e2b-b7e1-4b9f23e13c8c}
const CLSID kFindExtensionClass = {
    0x91171ef1, 0x6713, 0x4e2b, {0xb7, 0xe1, 0x4b, 0x9f, 0x23, 0xe1, 0x3c, 0x8c}};

LONG liveObjects = 0;
LONG serverLocks = 0;

class FindExtension : public IShellExtInit, public IContextMenu {
 public:
  FindExtension() { InterlockedIncrement(&liveObjects); }
  virtual ~FindExtension() { InterlockedDecrement(&liveObjects); }
  FindExtension(const FindExtension&) = delete;
  FindExtension& operator=(const FindExtension&) = delete;
  // From the process heap: the library needs no C++ runtime. Null when memory runs out.
  static void* operator new(size_t size) noexcept { return HeapAlloc(GetProcessHeap(), 0, size); }
  static void operator delete(void* object) { HeapFree(GetProcessHeap(), 0, object); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit)) {
      *out = static_cast<IShellExtInit*>(this);
    } else if (IsEqualIID(iid, IID_IContextMenu)) {
      *out = static_cast<IContextMenu*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return ULONG(left);
  }

  STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject*, HKEY) override { return S_OK; }

  STDMETHODIMP QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override {
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);  // no items
  }
  STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO*) override { return E_FAIL; }
  STDMETHODIMP GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) override { return E_NOTIMPL; }

 private:
  LONG references_ = 1;
};

class Factory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // One factory for the life of the module; the server's locks keep the module loaded.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    FindExtension* extension = new FindExtension;
    if (!extension) return E_OUTOFMEMORY;
    HRESULT result = extension->QueryInterface(iid, out);
    extension->Release();
    return result;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&serverLocks);
    } else {
      InterlockedDecrement(&serverLocks);
    }
    return S_OK;
  }
};

Factory factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(classId, kFindExtensionClass)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE; }
