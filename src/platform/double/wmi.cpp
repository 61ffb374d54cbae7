#include <optional>
#include <string>

#include "call_log.h"
#include "fake_wmi.h"

namespace fake {
Wmi wmi;
}

namespace platform {

struct WbemLocator {};

struct WbemServices {
    std::u16string namespaceName;
};

struct WbemEnumerator {
    std::u16string namespaceName;
    std::u16string className;
    std::size_t next = 0;
};

// A copy of one instance, as the service hands it out: Put changes the copy, PutInstance
// stores the copy back.
struct WbemObject {
    std::u16string namespaceName;
    std::u16string className;
    std::size_t instance = 0;
    fake::Properties properties;
};

namespace {

const char* Pointer(const void* pointer) { return pointer == nullptr ? "null" : "pointer"; }

std::string Text(const WideChar* text) {
    return text == nullptr ? "null" : EncodeUtf8(WideText(text));
}

std::string Name(const WbemServices* services) { return EncodeUtf8(services->namespaceName); }

std::string Name(const WbemEnumerator* enumerator) {
    return EncodeUtf8(enumerator->className) + " enumerator";
}

std::string Name(const WbemObject* object) {
    return EncodeUtf8(object->className) + "#" + std::to_string(object->instance);
}

std::string Describe(const Variant& value) {
    switch (value.type) {
        case VariantType::Empty:
            return "VT_EMPTY";
        case VariantType::Null:
            return "VT_NULL";
        case VariantType::Text:
            return "VT_BSTR " + EncodeUtf8(value.text);
        case VariantType::Int32:
            return "VT_I4 " + std::to_string(value.int32);
        case VariantType::Boolean:
            return "VT_BOOL " + std::to_string(value.boolean);
        case VariantType::Other:
            break;
    }
    return "other";
}

// Records the call and returns the scripted failure that applies to it, if any.
std::optional<HResult> Call(const std::string& call) {
    fake::Record(call);
    for (const fake::ScriptedFailure& failure : fake::wmi.failures) {
        if (call.compare(0, failure.call.size(), failure.call) == 0) return failure.result;
    }
    return std::nullopt;
}

template <class Handle>
Handle* Hand(Handle* handle, std::string name) {
    fake::wmi.held[handle] = std::move(name);
    return handle;
}

template <class Handle>
void Take(Handle* handle) {
    const auto found = fake::wmi.held.find(handle);
    if (found == fake::wmi.held.end()) {
        fake::Record("Release(unknown)");
        fake::wmi.faults.push_back("release of an interface not held");
        return;
    }
    fake::Record("Release(" + found->second + ")");
    fake::wmi.held.erase(found);
    delete handle;
}

std::vector<fake::Properties>* Instances(const std::u16string& namespaceName,
                                         const std::u16string& className) {
    const auto space = fake::wmi.namespaces.find(namespaceName);
    if (space == fake::wmi.namespaces.end()) return nullptr;
    const auto found = space->second.find(className);
    return found == space->second.end() ? nullptr : &found->second;
}

}  // namespace

HResult CoCreateInstance(ClassId, void* outer, ClassContext, InterfaceId, WbemLocator** locator) {
    if (const auto failure = Call(std::string("CoCreateInstance(CLSID_WbemLocator, ") +
                                  Pointer(outer) + ", CLSCTX_INPROC_SERVER, IID_IWbemLocator)")) {
        return *failure;
    }
    *locator = Hand(new WbemLocator{}, "locator");
    return S_OK_RESULT;
}

HResult ConnectServer(WbemLocator*, WideText networkResource, const WideChar* user,
                      const WideChar* password, const WideChar* locale, std::int32_t securityFlags,
                      const WideChar* authority, WbemContext* context, WbemServices** services) {
    if (const auto failure =
            Call("ConnectServer(" + EncodeUtf8(networkResource) + ", " + Text(user) + ", " +
                 Text(password) + ", " + Text(locale) + ", " + std::to_string(securityFlags) +
                 ", " + Text(authority) + ", " + Pointer(context) + ")")) {
        return *failure;
    }
    const std::u16string name(networkResource);
    if (fake::wmi.namespaces.count(name) == 0) return WBEM_E_INVALID_NAMESPACE_RESULT;
    *services = Hand(new WbemServices{name}, EncodeUtf8(name));
    return S_OK_RESULT;
}

HResult CoSetProxyBlanket(WbemServices* services, AuthenticationService, AuthorizationService,
                          const WideChar* serverPrincipalName,
                          AuthenticationLevel authenticationLevel, ImpersonationLevel,
                          void* authenticationInfo, Capabilities) {
    const std::string level = authenticationLevel == AuthenticationLevel::Call
                                  ? "RPC_C_AUTHN_LEVEL_CALL"
                                  : "RPC_C_AUTHN_LEVEL_DEFAULT";
    if (const auto failure =
            Call("CoSetProxyBlanket(" + Name(services) + ", RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, " +
                 Text(serverPrincipalName) + ", " + level + ", RPC_C_IMP_LEVEL_IMPERSONATE, " +
                 Pointer(authenticationInfo) + ", EOAC_NONE)")) {
        return *failure;
    }
    return S_OK_RESULT;
}

HResult ExecQuery(WbemServices* services, WideText queryLanguage, WideText query,
                  std::int32_t flags, WbemContext* context, WbemEnumerator** enumerator) {
    if (const auto failure = Call("ExecQuery(" + Name(services) + ", " + EncodeUtf8(queryLanguage) +
                                  ", " + EncodeUtf8(query) + ", " + std::to_string(flags) + ", " +
                                  Pointer(context) + ")")) {
        return *failure;
    }
    constexpr WideText kSelectAll = u"SELECT * FROM ";
    if (queryLanguage != u"WQL" || !query.starts_with(kSelectAll)) {
        return WBEM_E_INVALID_QUERY_RESULT;
    }
    auto* handle = new WbemEnumerator{services->namespaceName,
                                      std::u16string(query.substr(kSelectAll.size())), 0};
    *enumerator = Hand(handle, Name(handle));
    return S_OK_RESULT;
}

HResult Next(WbemEnumerator* enumerator, std::int32_t timeout, std::uint32_t count,
             WbemObject** objects, std::uint32_t* returned) {
    *returned = 0;
    if (const auto failure = Call("Next(" + Name(enumerator) + ", " + std::to_string(timeout) +
                                  ", " + std::to_string(count) + ")")) {
        return *failure;
    }
    const std::vector<fake::Properties>* instances =
        Instances(enumerator->namespaceName, enumerator->className);
    if (instances == nullptr || enumerator->next >= instances->size() || count == 0) {
        return S_FALSE_RESULT;
    }
    const std::size_t instance = enumerator->next++;
    auto* object = new WbemObject{enumerator->namespaceName, enumerator->className, instance,
                                  (*instances)[instance]};
    objects[0] = Hand(object, Name(object));
    *returned = 1;
    return S_OK_RESULT;
}

HResult Get(WbemObject* object, WideText name, std::int32_t flags, Variant* value,
            std::int32_t* type, std::int32_t* flavor) {
    if (const auto failure =
            Call("Get(" + Name(object) + ", " + EncodeUtf8(name) + ", " + std::to_string(flags) +
                 ", " + Pointer(type) + ", " + Pointer(flavor) + ")")) {
        return *failure;
    }
    const auto found = object->properties.find(std::u16string(name));
    if (found == object->properties.end()) return WBEM_E_NOT_FOUND_RESULT;
    if (fake::wmi.filled.count(value) != 0) {
        fake::wmi.faults.push_back("Get into a value not cleared: " + EncodeUtf8(name));
    }
    *value = found->second;
    fake::wmi.filled.insert(value);
    return S_OK_RESULT;
}

HResult Put(WbemObject* object, WideText name, std::int32_t flags, const Variant* value,
            std::int32_t type) {
    if (const auto failure =
            Call("Put(" + Name(object) + ", " + EncodeUtf8(name) + ", " + std::to_string(flags) +
                 ", " + Describe(*value) + ", " + std::to_string(type) + ")")) {
        return *failure;
    }
    const auto found = object->properties.find(std::u16string(name));
    if (found == object->properties.end()) return WBEM_E_NOT_FOUND_RESULT;
    found->second = *value;
    return S_OK_RESULT;
}

HResult PutInstance(WbemServices* services, WbemObject* object, std::int32_t flags,
                    WbemContext* context, WbemCallResult** callResult) {
    if (const auto failure = Call("PutInstance(" + Name(services) + ", " + Name(object) + ", " +
                                  std::to_string(flags) + ", " + Pointer(context) + ", " +
                                  Pointer(callResult) + ")")) {
        return *failure;
    }
    std::vector<fake::Properties>* instances = Instances(object->namespaceName, object->className);
    if (instances == nullptr || object->instance >= instances->size()) {
        return WBEM_E_NOT_FOUND_RESULT;
    }
    (*instances)[object->instance] = object->properties;
    return S_OK_RESULT;
}

void Release(WbemLocator* locator) { Take(locator); }
void Release(WbemServices* services) { Take(services); }
void Release(WbemEnumerator* enumerator) { Take(enumerator); }
void Release(WbemObject* object) { Take(object); }

HResult VariantClear(Variant* value) {
    const auto found = fake::wmi.filled.find(value);
    if (found != fake::wmi.filled.end()) fake::wmi.filled.erase(found);
    *value = Variant{};
    return S_OK_RESULT;
}

}  // namespace platform
