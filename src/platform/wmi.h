#pragma once

#include <cstdint>
#include <string>

#include "platform/com.h"
#include "platform/wide_text.h"

// The management instrumentation objects and the COM calls that reach them, in the program's own
// types. Every handle is an interface that its caller releases with `Release`; every value that
// `Get` filled is emptied again with `VariantClear`. Numbers that cross this boundary (results,
// flags) are the Windows numbers on every build.
namespace platform {

// Opaque handles: IWbemLocator, IWbemServices, IEnumWbemClassObject, IWbemClassObject.
struct WbemLocator;
struct WbemServices;
struct WbemEnumerator;
struct WbemObject;
// Never created by the program: only ever passed as "none".
struct WbemContext;
struct WbemCallResult;

enum class ClassId { WbemLocator };
enum class InterfaceId { WbemLocator };
enum class ClassContext { InprocServer };
enum class AuthenticationService { WinNt };
enum class AuthorizationService { None };

inline constexpr std::int32_t QUERY_FORWARD_ONLY = 0x20;
inline constexpr std::int32_t QUERY_RETURN_IMMEDIATELY = 0x10;
inline constexpr std::int32_t PUT_UPDATE_ONLY = 0x1;
inline constexpr std::int32_t TIMEOUT_INFINITE = -1;

inline constexpr HResult S_OK_RESULT = 0;
inline constexpr HResult S_FALSE_RESULT = 1;
inline constexpr HResult E_OUTOFMEMORY_RESULT = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult WBEM_E_FAILED_RESULT = static_cast<HResult>(0x80041001u);
inline constexpr HResult WBEM_E_NOT_FOUND_RESULT = static_cast<HResult>(0x80041002u);
inline constexpr HResult WBEM_E_ACCESS_DENIED_RESULT = static_cast<HResult>(0x80041003u);
inline constexpr HResult WBEM_E_TYPE_MISMATCH_RESULT = static_cast<HResult>(0x80041005u);
inline constexpr HResult WBEM_E_INVALID_NAMESPACE_RESULT = static_cast<HResult>(0x8004100Eu);
inline constexpr HResult WBEM_E_INVALID_CLASS_RESULT = static_cast<HResult>(0x80041010u);
inline constexpr HResult WBEM_E_INVALID_QUERY_RESULT = static_cast<HResult>(0x80041017u);
inline constexpr HResult WBEM_E_NOT_SUPPORTED_RESULT = static_cast<HResult>(0x8004100Cu);

inline bool Succeeded(HResult result) { return !Failed(result); }

// The kinds of property value the program tells apart: VT_EMPTY, VT_NULL, VT_BSTR, VT_I4 and
// VT_BOOL; any other kind is `Other`.
enum class VariantType { Empty, Null, Text, Int32, Boolean, Other };

// A property value that carries its type. Only the member that belongs to `type` is meaningful.
struct Variant {
    VariantType type = VariantType::Empty;
    std::u16string text;
    std::int32_t int32 = 0;
    std::int16_t boolean = 0;  // -1 for true, 0 for false
};

HResult CoCreateInstance(ClassId classId, void* outer, ClassContext context,
                         InterfaceId interfaceId, WbemLocator** locator);

HResult ConnectServer(WbemLocator* locator, WideText networkResource, const WideChar* user,
                      const WideChar* password, const WideChar* locale, std::int32_t securityFlags,
                      const WideChar* authority, WbemContext* context, WbemServices** services);

HResult CoSetProxyBlanket(WbemServices* services, AuthenticationService authenticationService,
                          AuthorizationService authorizationService,
                          const WideChar* serverPrincipalName,
                          AuthenticationLevel authenticationLevel,
                          ImpersonationLevel impersonationLevel, void* authenticationInfo,
                          Capabilities capabilities);

HResult ExecQuery(WbemServices* services, WideText queryLanguage, WideText query,
                  std::int32_t flags, WbemContext* context, WbemEnumerator** enumerator);

// S_FALSE_RESULT with `returned` below `count` when the enumeration has ended.
HResult Next(WbemEnumerator* enumerator, std::int32_t timeout, std::uint32_t count,
             WbemObject** objects, std::uint32_t* returned);

HResult Get(WbemObject* object, WideText name, std::int32_t flags, Variant* value,
            std::int32_t* type, std::int32_t* flavor);

HResult Put(WbemObject* object, WideText name, std::int32_t flags, const Variant* value,
            std::int32_t type);

HResult PutInstance(WbemServices* services, WbemObject* object, std::int32_t flags,
                    WbemContext* context, WbemCallResult** callResult);

void Release(WbemLocator* locator);
void Release(WbemServices* services);
void Release(WbemEnumerator* enumerator);
void Release(WbemObject* object);

HResult VariantClear(Variant* value);

}  // namespace platform
