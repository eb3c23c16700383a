// The gain family: the gain controls with their editors, the level sensor
// with its floating meter window, and the card channels and connector
// (objects only).
#pragma once

namespace objscope {
class TEditorComm;
}

namespace objscope::audio {

void RegisterGainFamily(TEditorComm& comm);

}  // namespace objscope::audio
