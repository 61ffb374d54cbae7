#include "platform/wmi.h"

#include "platform/linux/wmi_repository.h"

// The management objects over the kernel's links and sysfs. The handles are plain objects that
// Release deletes: nothing here shares them.
namespace platform {

struct WbemLocator {};

struct WbemServices {
    std::u16string namespaceName;
};

struct WbemEnumerator {
    std::vector<linux_backend::WmiInstance> instances;
    std::size_t next = 0;
};

// A copy of one instance: Put changes the copy, PutInstance makes the system match it.
struct WbemObject {
    linux_backend::WmiInstance instance;
};

namespace {

constexpr WideText kSelectAllFrom = u"SELECT * FROM ";

}  // namespace

HResult CoCreateInstance(ClassId, void*, ClassContext, InterfaceId, WbemLocator** locator) {
    *locator = new WbemLocator{};
    return S_OK_RESULT;
}

HResult ConnectServer(WbemLocator*, WideText networkResource, const WideChar*, const WideChar*,
                      const WideChar*, std::int32_t, const WideChar*, WbemContext*,
                      WbemServices** services) {
    *services = nullptr;
    std::u16string name = linux_backend::KnownNamespace(networkResource);
    if (name.empty()) return WBEM_E_INVALID_NAMESPACE_RESULT;
    *services = new WbemServices{std::move(name)};
    return S_OK_RESULT;
}

HResult CoSetProxyBlanket(WbemServices*, AuthenticationService, AuthorizationService,
                          const WideChar*, AuthenticationLevel, ImpersonationLevel, void*,
                          Capabilities) {
    return S_OK_RESULT;
}

HResult ExecQuery(WbemServices* services, WideText queryLanguage, WideText query, std::int32_t,
                  WbemContext*, WbemEnumerator** enumerator) {
    *enumerator = nullptr;
    if (!EqualsIgnoringAsciiCase(queryLanguage, u"WQL") ||
        !StartsWithIgnoringAsciiCase(query, kSelectAllFrom)) {
        return WBEM_E_INVALID_QUERY_RESULT;
    }
    auto* result = new WbemEnumerator{};
    const HResult listed = linux_backend::ListInstances(
        services->namespaceName, query.substr(kSelectAllFrom.size()), &result->instances);
    if (Failed(listed)) {
        delete result;
        return listed;
    }
    *enumerator = result;
    return S_OK_RESULT;
}

HResult Next(WbemEnumerator* enumerator, std::int32_t, std::uint32_t count, WbemObject** objects,
             std::uint32_t* returned) {
    *returned = 0;
    while (*returned < count && enumerator->next < enumerator->instances.size()) {
        objects[*returned] = new WbemObject{enumerator->instances[enumerator->next++]};
        ++*returned;
    }
    return *returned == count ? S_OK_RESULT : S_FALSE_RESULT;
}

HResult Get(WbemObject* object, WideText name, std::int32_t, Variant* value, std::int32_t*,
            std::int32_t*) {
    const Variant* found = linux_backend::FindProperty(object->instance.properties, name);
    if (found == nullptr) return WBEM_E_NOT_FOUND_RESULT;
    *value = *found;
    return S_OK_RESULT;
}

HResult Put(WbemObject* object, WideText name, std::int32_t, const Variant* value, std::int32_t) {
    Variant* found = linux_backend::FindProperty(object->instance.properties, name);
    if (found == nullptr) return WBEM_E_NOT_FOUND_RESULT;
    *found = *value;
    return S_OK_RESULT;
}

HResult PutInstance(WbemServices*, WbemObject* object, std::int32_t, WbemContext*,
                    WbemCallResult**) {
    return linux_backend::StoreInstance(object->instance);
}

void Release(WbemLocator* locator) { delete locator; }
void Release(WbemServices* services) { delete services; }
void Release(WbemEnumerator* enumerator) { delete enumerator; }
void Release(WbemObject* object) { delete object; }

HResult VariantClear(Variant* value) {
    *value = Variant{};
    return S_OK_RESULT;
}

}  // namespace platform
