#pragma once

namespace localservice {

class ServiceRouter;

// A patient's recordings: the list, the upload of a sensor WAV and deletion.
void addRecordApi(ServiceRouter& router);

} // namespace localservice
