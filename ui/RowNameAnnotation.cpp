#include "ui/RowNameAnnotation.h"

#include <initguid.h>  // defines the annotation's class, interface and property ids here
#include <oleacc.h>

#include <utility>

#include "platform/AnsiText.h"
#include "platform/WideText.h"

namespace {

// COM's calls, taken from ole32 and oleaut32 when first needed, so that the
// program imports no more than the system's core DLLs.
struct ComCalls {
    HRESULT(WINAPI* initialize)(LPVOID, DWORD) = nullptr;
    void(WINAPI* uninitialize)() = nullptr;
    HRESULT(WINAPI* createInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;
    BSTR(WINAPI* allocString)(const OLECHAR*) = nullptr;

    bool Complete() const { return initialize && uninitialize && createInstance && allocString; }
};

template <class Function>
void Take(HMODULE module, const char* name, Function& function) {
    function = module != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                                 : nullptr;
}

const ComCalls& Com() {
    static const ComCalls calls = [] {
        ComCalls found;
        const HMODULE ole = ::LoadLibraryA("ole32.dll");
        const HMODULE automation = ::LoadLibraryA("oleaut32.dll");
        Take(ole, "CoInitializeEx", found.initialize);
        Take(ole, "CoUninitialize", found.uninitialize);
        Take(ole, "CoCreateInstance", found.createInstance);
        Take(automation, "SysAllocString", found.allocString);
        return found;
    }();
    return calls;
}

}  // namespace

// The callback that the system asks for a row's name. Screen readers may
// hold it after the list has gone; Detach leaves it answering nothing.
class RowNameAnnotation::Server final : public IAccPropServer {
public:
    Server(IAccPropServices* services, std::function<std::string(int)> nameOf)
        : services_(services), nameOf_(std::move(nameOf)) {
        services_->AddRef();
    }
    void Detach() { nameOf_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IAccPropServer)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IAccPropServer*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // The name of the row the identity string names (child ids count rows
    // from 1); nothing for the list itself.
    HRESULT STDMETHODCALLTYPE GetPropValue(
        const BYTE* id, DWORD idLength, MSAAPROPID property, VARIANT* value, BOOL* hasProperty) override {
        *hasProperty = FALSE;
        value->vt = VT_EMPTY;
        HWND window = nullptr;
        DWORD object = 0, child = 0;
        if (!nameOf_ || !IsEqualGUID(property, PROPID_ACC_NAME) ||
            FAILED(services_->DecomposeHwndIdentityString(id, idLength, &window, &object, &child)) ||
            child == CHILDID_SELF)
            return S_OK;
        const std::string name = nameOf_(static_cast<int>(child) - 1);
        if (name.empty()) return S_OK;
        value->bstrVal = Com().allocString(platform::WideFromUtf8(platform::Utf8FromAnsi(name)).value_or(L"").c_str());
        if (value->bstrVal == nullptr) return E_OUTOFMEMORY;
        value->vt = VT_BSTR;
        *hasProperty = TRUE;
        return S_OK;
    }

private:
    ~Server() { services_->Release(); }

    LONG references_ = 1;
    IAccPropServices* services_;
    std::function<std::string(int)> nameOf_;
};

RowNameAnnotation::RowNameAnnotation(HWND list, std::function<std::string(int)> nameOf) : list_(list) {
    const ComCalls& com = Com();
    if (!com.Complete()) return;
    // S_FALSE: started already on this thread, which needs the same balance.
    comStarted_ = SUCCEEDED(com.initialize(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(com.createInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
            reinterpret_cast<void**>(&services_))))
        return;
    server_ = new Server(services_, std::move(nameOf));
    const MSAAPROPID names[] = {PROPID_ACC_NAME};
    services_->SetHwndPropServer(list_, OBJID_CLIENT, CHILDID_SELF, names, 1, server_, ANNO_CONTAINER);
}

RowNameAnnotation::~RowNameAnnotation() {
    if (server_ != nullptr) {
        const MSAAPROPID names[] = {PROPID_ACC_NAME};
        services_->ClearHwndProps(list_, OBJID_CLIENT, CHILDID_SELF, names, 1);
        server_->Detach();
        server_->Release();
    }
    if (services_ != nullptr) services_->Release();
    if (comStarted_) Com().uninitialize();
}
