// Pictures of the device windows for docs/screenshots (objscope
// --screenshots), with the data of the first device.
#pragma once

#include <QString>

namespace objscope {

class TfrmObjectList;
class TfrmPropertyList;

// After the main window listed the device's objects. True when every
// picture was written.
bool RenderDeviceWindowScreenshots(TfrmObjectList& main, TfrmPropertyList& properties,
                                   const QString& folder);

}  // namespace objscope
