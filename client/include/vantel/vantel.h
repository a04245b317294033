// Everything the client library offers: the client, the Torvane bridge and the records.
#pragma once

#include <vantel/BridgeResponse.h>
#include <vantel/DynamicVantelBridge.h>
#include <vantel/Export.h>
#include <vantel/IVantelLogger.h>
#include <vantel/RequestRecords.h>
#include <vantel/ServiceRecords.h>
#include <vantel/TorvaneAbi.h>
#include <vantel/TorvaneLibraryName.h>
#include <vantel/UploadSource.h>
#include <vantel/VantelBridgeInterface.h>
#include <vantel/VantelClient.h>
#include <vantel/VantelException.h>
#include <vantel/Version.h>
