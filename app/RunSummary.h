#pragma once

#include <tarvex/host/ModelChangeCount.h>

#include <QJsonObject>
#include <QString>

namespace EntityModel {
class Model;
}

/// What a command did to a model, counted from the moment it is made until it goes: the
/// entities built, changed and deleted, by type, with the warnings and errors of the run.
class RunSummary
{
public:
    /// Counts the changes made to `model` from now on.
    explicit RunSummary(EntityModel::Model& model);
    ~RunSummary();
    RunSummary(const RunSummary&) = delete;
    RunSummary& operator=(const RunSummary&) = delete;

    /// One line: "built 12 entities (Layer 6, PCB 1, ...), changed 0, deleted 0; 2 warnings".
    QString text(int warnings, int errors) const;
    /// The same as JSON: {"built": {TYPE: N...}, "changed": {...}, "deleted": {...},
    /// "errors": E, "warnings": W}.
    QJsonObject json(int warnings, int errors) const;
    /// Prints the summary: as JSON on stdout when `json`, else as a report line (see report()).
    void print(int warnings, int errors, bool json) const;

private:
    EntityModel::Model& m_model;
    EntityModel::ModelChangeCount m_count;
};
