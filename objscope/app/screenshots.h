// "objscope --screenshots FOLDER": renders each window with real data from
// the device of the first device box entry to PNG files, at the default size
// and enlarged, for the documentation.
#pragma once

#include <QString>

namespace objscope {

class TfrmObjectList;
class TfrmPropertyList;

// Returns the program's exit code (0 when every picture was written).
int RenderScreenshots(TfrmObjectList& main, TfrmPropertyList& properties, const QString& folder);

}  // namespace objscope
