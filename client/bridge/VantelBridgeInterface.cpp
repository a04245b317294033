// The Torvane operations as the client sees them; anchors the interface in vantel.
#include <vantel/VantelBridgeInterface.h>

namespace vantel {

VantelBridgeInterface::~VantelBridgeInterface() = default;

}  // namespace vantel
