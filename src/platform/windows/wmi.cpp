#include "platform/wmi.h"

#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <string>
#include <vector>

#include "platform/windows/native_com.h"

namespace platform {

static_assert(QUERY_FORWARD_ONLY == WBEM_FLAG_FORWARD_ONLY);
static_assert(QUERY_RETURN_IMMEDIATELY == WBEM_FLAG_RETURN_IMMEDIATELY);
static_assert(PUT_UPDATE_ONLY == WBEM_FLAG_UPDATE_ONLY);
static_assert(TIMEOUT_INFINITE == static_cast<std::int32_t>(WBEM_INFINITE));
static_assert(E_OUTOFMEMORY_RESULT == E_OUTOFMEMORY);
static_assert(sizeof(WideChar) == sizeof(OLECHAR));

namespace {

// The handles are the interfaces themselves, seen through the program's opaque types.
IWbemLocator* Native(WbemLocator* locator) { return reinterpret_cast<IWbemLocator*>(locator); }
IWbemServices* Native(WbemServices* services) { return reinterpret_cast<IWbemServices*>(services); }
IEnumWbemClassObject* Native(WbemEnumerator* enumerator) {
    return reinterpret_cast<IEnumWbemClassObject*>(enumerator);
}
IWbemClassObject* Native(WbemObject* object) { return reinterpret_cast<IWbemClassObject*>(object); }
IWbemContext* Native(WbemContext* context) { return reinterpret_cast<IWbemContext*>(context); }

const OLECHAR* OleText(const WideChar* text) { return reinterpret_cast<const OLECHAR*>(text); }

// A BSTR for the length of one call. A null source gives a null BSTR; `Failed` tells an
// allocation that did not succeed apart from that.
class BString {
  public:
    explicit BString(WideText text)
        : value_(::SysAllocStringLen(OleText(text.data()), static_cast<UINT>(text.size()))),
          failed_(value_ == nullptr) {}
    explicit BString(const WideChar* text)
        : value_(text == nullptr ? nullptr : ::SysAllocString(OleText(text))),
          failed_(text != nullptr && value_ == nullptr) {}
    ~BString() { ::SysFreeString(value_); }
    BString(const BString&) = delete;
    BString& operator=(const BString&) = delete;

    BSTR Get() const { return value_; }
    bool Failed() const { return failed_; }

  private:
    BSTR value_;
    bool failed_;
};

// A property name as the null-terminated text the class object wants.
std::wstring PropertyName(WideText name) {
    return std::wstring(reinterpret_cast<const wchar_t*>(name.data()), name.size());
}

Variant FromNative(const VARIANT& native) {
    Variant value;
    switch (V_VT(&native)) {
        case VT_EMPTY:
            value.type = VariantType::Empty;
            break;
        case VT_NULL:
            value.type = VariantType::Null;
            break;
        case VT_BSTR:
            value.type = VariantType::Text;
            value.text.assign(reinterpret_cast<const WideChar*>(V_BSTR(&native)),
                              ::SysStringLen(V_BSTR(&native)));
            break;
        case VT_I4:
            value.type = VariantType::Int32;
            value.int32 = V_I4(&native);
            break;
        case VT_BOOL:
            value.type = VariantType::Boolean;
            value.boolean = V_BOOL(&native);
            break;
        default:
            value.type = VariantType::Other;
            break;
    }
    return value;
}

// Fills `native`, which the caller clears; false when a string cannot be allocated or the type
// has no native counterpart.
bool ToNative(const Variant& value, VARIANT* native) {
    switch (value.type) {
        case VariantType::Empty:
            V_VT(native) = VT_EMPTY;
            return true;
        case VariantType::Null:
            V_VT(native) = VT_NULL;
            return true;
        case VariantType::Text:
            V_BSTR(native) = ::SysAllocStringLen(OleText(value.text.data()),
                                                 static_cast<UINT>(value.text.size()));
            if (V_BSTR(native) == nullptr) return false;
            V_VT(native) = VT_BSTR;
            return true;
        case VariantType::Int32:
            V_VT(native) = VT_I4;
            V_I4(native) = value.int32;
            return true;
        case VariantType::Boolean:
            V_VT(native) = VT_BOOL;
            V_BOOL(native) = value.boolean;
            return true;
        case VariantType::Other:
            break;
    }
    return false;
}

}  // namespace

HResult CoCreateInstance(ClassId, void* outer, ClassContext, InterfaceId, WbemLocator** locator) {
    IWbemLocator* native = nullptr;
    const HRESULT result =
        ::CoCreateInstance(CLSID_WbemLocator, static_cast<IUnknown*>(outer), CLSCTX_INPROC_SERVER,
                           IID_IWbemLocator, reinterpret_cast<void**>(&native));
    *locator = reinterpret_cast<WbemLocator*>(native);
    return result;
}

HResult ConnectServer(WbemLocator* locator, WideText networkResource, const WideChar* user,
                      const WideChar* password, const WideChar* locale, std::int32_t securityFlags,
                      const WideChar* authority, WbemContext* context, WbemServices** services) {
    *services = nullptr;
    const BString resourceText(networkResource);
    const BString userText(user);
    const BString passwordText(password);
    const BString localeText(locale);
    const BString authorityText(authority);
    if (resourceText.Failed() || userText.Failed() || passwordText.Failed() ||
        localeText.Failed() || authorityText.Failed()) {
        return E_OUTOFMEMORY;
    }
    IWbemServices* native = nullptr;
    const HRESULT result = Native(locator)->ConnectServer(
        resourceText.Get(), userText.Get(), passwordText.Get(), localeText.Get(), securityFlags,
        authorityText.Get(), Native(context), &native);
    *services = reinterpret_cast<WbemServices*>(native);
    return result;
}

HResult CoSetProxyBlanket(WbemServices* services, AuthenticationService, AuthorizationService,
                          const WideChar* serverPrincipalName,
                          AuthenticationLevel authenticationLevel, ImpersonationLevel,
                          void* authenticationInfo, Capabilities) {
    return ::CoSetProxyBlanket(Native(services), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE,
                               const_cast<OLECHAR*>(OleText(serverPrincipalName)),
                               windows_backend::NativeAuthenticationLevel(authenticationLevel),
                               RPC_C_IMP_LEVEL_IMPERSONATE, authenticationInfo, EOAC_NONE);
}

HResult ExecQuery(WbemServices* services, WideText queryLanguage, WideText query,
                  std::int32_t flags, WbemContext* context, WbemEnumerator** enumerator) {
    *enumerator = nullptr;
    const BString languageText(queryLanguage);
    const BString queryText(query);
    if (languageText.Failed() || queryText.Failed()) return E_OUTOFMEMORY;
    IEnumWbemClassObject* native = nullptr;
    const HRESULT result = Native(services)->ExecQuery(languageText.Get(), queryText.Get(), flags,
                                                       Native(context), &native);
    *enumerator = reinterpret_cast<WbemEnumerator*>(native);
    return result;
}

HResult Next(WbemEnumerator* enumerator, std::int32_t timeout, std::uint32_t count,
             WbemObject** objects, std::uint32_t* returned) {
    std::vector<IWbemClassObject*> natives(count, nullptr);
    ULONG nativeReturned = 0;
    const HRESULT result =
        Native(enumerator)->Next(timeout, count, natives.data(), &nativeReturned);
    for (std::uint32_t i = 0; i < count; ++i) {
        objects[i] = reinterpret_cast<WbemObject*>(natives[i]);
    }
    *returned = nativeReturned;
    return result;
}

HResult Get(WbemObject* object, WideText name, std::int32_t flags, Variant* value,
            std::int32_t* type, std::int32_t* flavor) {
    VARIANT native;
    ::VariantInit(&native);
    CIMTYPE nativeType = 0;
    long nativeFlavor = 0;
    const HRESULT result = Native(object)->Get(PropertyName(name).c_str(), flags, &native,
                                               type != nullptr ? &nativeType : nullptr,
                                               flavor != nullptr ? &nativeFlavor : nullptr);
    if (SUCCEEDED(result)) {
        *value = FromNative(native);
        if (type != nullptr) *type = nativeType;
        if (flavor != nullptr) *flavor = nativeFlavor;
    }
    ::VariantClear(&native);
    return result;
}

HResult Put(WbemObject* object, WideText name, std::int32_t flags, const Variant* value,
            std::int32_t type) {
    VARIANT native;
    ::VariantInit(&native);
    HRESULT result = WBEM_E_TYPE_MISMATCH_RESULT;
    if (ToNative(*value, &native)) {
        result = Native(object)->Put(PropertyName(name).c_str(), flags, &native, type);
    } else if (value->type == VariantType::Text) {
        result = E_OUTOFMEMORY;
    }
    ::VariantClear(&native);
    return result;
}

HResult PutInstance(WbemServices* services, WbemObject* object, std::int32_t flags,
                    WbemContext* context, WbemCallResult** callResult) {
    return Native(services)->PutInstance(Native(object), flags, Native(context),
                                         reinterpret_cast<IWbemCallResult**>(callResult));
}

void Release(WbemLocator* locator) { Native(locator)->Release(); }
void Release(WbemServices* services) { Native(services)->Release(); }
void Release(WbemEnumerator* enumerator) { Native(enumerator)->Release(); }
void Release(WbemObject* object) { Native(object)->Release(); }

// The values the program holds are copies: the native value behind each was cleared inside the
// call that read it, so only the copy is emptied here.
HResult VariantClear(Variant* value) {
    *value = Variant{};
    return S_OK;
}

}  // namespace platform
