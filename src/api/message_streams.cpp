#include "api/api.h"

namespace tonalyx {

Stream consoleStream(MessageCode code)
{
    switch (code) {
    case MessageCode::lengthRestricted:
    case MessageCode::lengthReduced:
    case MessageCode::notFound:
    case MessageCode::noData:
    case MessageCode::noMainHeader:
        return Stream::out;
    case MessageCode::readFailed:
    case MessageCode::wrongFileTag:
    case MessageCode::wrongDataId:
    case MessageCode::unsupportedBits:
    case MessageCode::wrongFormatId:
    case MessageCode::cannotOpen:
    case MessageCode::cannotMeasure:
    case MessageCode::formatNote:
    case MessageCode::cutShort:
    case MessageCode::rowFailed:
        return Stream::err;
    }
    return Stream::err;
}

}  // namespace tonalyx
