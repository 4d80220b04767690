#pragma once

#include "data/Patient.h"

#include <QByteArray>
#include <QList>

#include <optional>

// One page of the patient directory as the service answers a search: the
// number of pages first, then the patients of this page.
struct PatientPage
{
    int pageCount = 0;
    QList<Patient> patients;

    // Nothing when the bytes are no page: not JSON, or without a "data" array.
    static std::optional<PatientPage> fromJson(const QByteArray& bytes);
};
