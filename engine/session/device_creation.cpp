#include "device_creation.h"

#include <string.h>

#include "../core/log.h"
#include "../core/render_context.h"
#include "../render/device_state.h"

const GUID *const deviceTypes[5] = {&IID_IDirect3DTnLHalDevice, &IID_IDirect3DHALDevice,
                                    &IID_IDirect3DMMXDevice, &IID_IDirect3DRGBDevice,
                                    &IID_IDirect3DRefDevice};

void logAdapterIdentity() {
    DDDEVICEIDENTIFIER2 identity;
    memset(&identity, 0, sizeof(identity));
    renderContext.ddraw->GetDeviceIdentifier(&identity, 0);
    identity.szDriver[sizeof(identity.szDriver) - 1] = '\0';
    identity.szDescription[sizeof(identity.szDescription) - 1] = '\0';
    logLine("Driver:%s\n", identity.szDriver);
    logLine("Descripci\xF3n: %s\n", identity.szDescription);
    logLine("ID Fabricante: %04Xh\n", static_cast<unsigned>(identity.dwVendorId));
    logLine("ID Dispositivo: %04Xh\n", static_cast<unsigned>(identity.dwDeviceId));
}

bool createDevice() {
    // A device made again over the same buffers keeps nothing of the last one's states.
    forgetDeviceState();
    for (const GUID *type : deviceTypes) {
        IDirect3DDevice7 *device = NULL;
        if (renderContext.d3d->CreateDevice(*type, renderContext.backSurface, &device) == D3D_OK &&
            device != NULL) {
            renderContext.device = device;
            return true;
        }
    }
    return false;
}
