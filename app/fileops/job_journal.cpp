// The hooks through which file jobs reach the undo history (job_journal.h).
#include "app/fileops/job_journal.h"

void JournalJobStarting(CopyJob&) {}
void JournalJobStep(CopyJob&, const JobStep&) {}
void JournalJobEnded(CopyJob&) {}
