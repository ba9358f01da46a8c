#include "ui/Accessibility.h"

// The GUIDs of direct annotation are defined here, where they are used.
#include <initguid.h>

#include <oleacc.h>

#include "platform/Handles.h"

namespace ui::accessibility {
namespace {

platform::Com<IAccPropServices> services() {
    IAccPropServices* got = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&got))))
        return platform::Com<IAccPropServices>(nullptr);
    return platform::Com<IAccPropServices>(got);
}

}  // namespace

bool readAsLink(HWND label) {
    const auto annotate = services();
    if (!annotate) return false;
    VARIANT role{};
    role.vt = VT_I4;
    role.lVal = ROLE_SYSTEM_LINK;
    return SUCCEEDED(
        annotate->SetHwndProp(label, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_ROLE, role));
}

void forget(HWND label) {
    if (const auto annotate = services()) {
        MSAAPROPID role = PROPID_ACC_ROLE;
        annotate->ClearHwndProps(label, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &role, 1);
    }
}

}  // namespace ui::accessibility
