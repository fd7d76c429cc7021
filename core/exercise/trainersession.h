#pragma once

#include "core/exercise/descriptionsparser.h"
#include "core/exercise/exercisestate.h"
#include "core/exercise/taskdescriptions.h"
#include "core/readback/readbackrules.h"

// The state the pages of the main window share: the task descriptions in use
// and the ones being edited with the faults of the last parse, the read-back
// rules in use and the ones being edited, the two edit flags the close query
// reads, and the exercise run. The main window owns one and hands it to every
// page by reference. It is plain data: a page that changes something another
// part must react to says so with a signal of its own, which the main window
// wires.
class TrainerSession {
public:
    TrainerSession() = default;
    TrainerSession(const TrainerSession&) = delete;
    TrainerSession& operator=(const TrainerSession&) = delete;

    // The task descriptions in use by the exercise, the ones being edited on
    // "Opisi nalog", and the faults of the last parse.
    TaskDescriptions& liveDescriptions() { return m_liveDescriptions; }
    TaskDescriptions& scratchDescriptions() { return m_scratchDescriptions; }
    DescriptionErrors& descriptionErrors() { return m_descriptionErrors; }

    // The confirmed read-back rules (used for expected answers) and the
    // working copy edited on "Prepis v latinico".
    ReadBackRules& activeRules() { return m_activeRules; }
    ReadBackRules& editRules() { return m_editRules; }

    // Edit flags read by the close query.
    bool descriptionsChanged() const { return m_descriptionsChanged; }
    void setDescriptionsChanged(bool changed) { m_descriptionsChanged = changed; }
    bool rulesChanged() const { return m_rulesChanged; }
    void setRulesChanged(bool changed) { m_rulesChanged = changed; }

    // The exercise run: task, current item, statistics and the item clock.
    ExerciseState& exercise() { return m_exercise; }
    const ExerciseState& exercise() const { return m_exercise; }

private:
    TaskDescriptions m_liveDescriptions;
    TaskDescriptions m_scratchDescriptions;
    DescriptionErrors m_descriptionErrors;
    ReadBackRules m_activeRules;
    ReadBackRules m_editRules;
    bool m_descriptionsChanged = false;
    bool m_rulesChanged = false;
    ExerciseState m_exercise;
};
