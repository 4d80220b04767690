#pragma once

namespace localservice {

class ServiceRouter;

// The patient's spreadsheet, answered as the Base64 text of an .xlsx file.
void addExportApi(ServiceRouter& router);

} // namespace localservice
