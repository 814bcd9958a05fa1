#include "engine/EngineError.h"

namespace hv::engine {

bool isDamageCode(int c)
{
    switch (c) {
    case code::BlobEndedPrematurely:
    case code::HeaderCorrupt:
    case code::DataCorrupt:
    case code::BlobCorrupt:
    case code::IndexCorrupt:
    case code::ReadError:
    case code::WriteError:
    case code::InvalidBlobOffset:
    case code::InvalidIndexField:
    case code::InvalidBlobLength:
        return true;
    default:
        return false;
    }
}

EngineError::EngineError(int errorCode, const std::string& message)
    : std::runtime_error(message), m_codes{errorCode}
{
}

EngineError::EngineError(std::vector<int> codes, const std::string& message)
    : std::runtime_error(message), m_codes(std::move(codes))
{
}

EngineError::EngineError(int errorCode, const std::string& message, std::string indexName)
    : std::runtime_error(message), m_codes{errorCode}, m_indexName(std::move(indexName))
{
}

} // namespace hv::engine
