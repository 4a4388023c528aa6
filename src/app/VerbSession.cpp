#include "VerbSession.h"

#include "CommandLine.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

VerbSession::VerbSession(const Io& io) : prompts(io.err), db(prompts) {}

bool VerbSession::open(const Arguments& args) {
    return db.open(databaseLocation(args.option(u"--database"_s)));
}
