#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace localservice {

class Database;
class ServiceRouter;

// The recovery history: symptom intensities per record.
void addQuestionnaireApi(ServiceRouter& router);

// The questionnaire of the records: {"dates": {record id: recorded at},
// "rows": [{"id", "symptom", "custom", "intensities": {record id: level}}]}.
// Standard symptoms come first, then the patient's own.
nlohmann::json questionnaireJson(Database& db, const std::string& patientId, const std::vector<std::string>& recordIds,
                                 const std::string& language);

} // namespace localservice
