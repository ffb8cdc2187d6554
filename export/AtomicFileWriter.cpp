#include "export/AtomicFileWriter.h"

#include "io/AtomicWriter.h"
#include "model/UserError.h"

namespace exporting {

void AtomicFileWriter::writeFile(const std::string& path, std::string_view bytes)
{
    io::SaveFileWriter file;
    if (io::writeAtomically(file, path, bytes) != io::WriteOutcome::Written)
        throw model::UserError("Cannot create file " + path);
}

} // namespace exporting
