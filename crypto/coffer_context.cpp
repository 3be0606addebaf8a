#include "coffer.h"

#include "coffer_private.h"
#include "coffer_session_util.h"
#include "crypt_util.h"

#include <cstdlib>

using namespace coffer_detail;

namespace {
constexpr const char *kUnit = "coffer";
}

CCofferContext::CCofferContext()
    : m_Algorithms{0, nullptr}
    , m_pSupportedAlgs(nullptr)
    , m_nSupportedAlgs(0)
{
}

CCofferContext::~CCofferContext() { std::free(m_pSupportedAlgs); }

signed char CCofferContext::Init(signed char)
{
    std::free(m_pSupportedAlgs);
    m_pSupportedAlgs = nullptr;
    m_nSupportedAlgs = 0;
    m_Algorithms = {0, nullptr};
    m_AlgSet.clear();

    ALG_ID *supported = nullptr;
    unsigned int count = 0;
    if (!openssl_GetSupportedAlgs(gPreferAlgOrder, kPreferAlgCount, &supported, &count))
        return true; // an empty list: the exchange then finds no algorithm
    m_pSupportedAlgs = supported;
    m_nSupportedAlgs = count;
    m_Algorithms = {uint16_t(count), supported};
    m_AlgSet.insert(supported, supported + count);
    return true;
}

_COFFER_ALGORITHMS *CCofferContext::GetAlgorithms() { return &m_Algorithms; }

signed char CCofferContext::IsSupportedAlgorithm(ALG_ID algId) { return m_AlgSet.count(algId) != 0; }

_NBLOB *CCofferContext::GetAlgorithmList()
{
    if (m_nSupportedAlgs == 0) {
        COFFER_REPORT(kUnit, "There is no available algorithms. Maybe context wasn't initizlized.");
        return nullptr;
    }
    auto *raw = static_cast<unsigned char *>(std::malloc(4 * size_t(m_nSupportedAlgs)));
    if (!raw)
        return nullptr;
    for (uint32_t i = 0; i < m_nSupportedAlgs; ++i)
        writeBE32(raw + 4 * i, m_pSupportedAlgs[i]);
    return coffer_blob_in_type(raw, 4 * m_nSupportedAlgs, COFFER_BLOB_BASE64);
}

ALG_ID CCofferContext::GetMostStrongAlgorithm(const _COFFER_ALGORITHMS *pAlgs)
{
    if (!pAlgs || !pAlgs->pAlgIDs)
        return 0;
    for (ALG_ID preferred : gPreferAlgOrder) {
        if (!IsSupportedAlgorithm(preferred))
            continue;
        for (unsigned int i = 0; i < pAlgs->count; ++i)
            if (pAlgs->pAlgIDs[i] == preferred)
                return preferred;
    }
    return 0;
}

void CCofferContext::ClearAll() { openssl_final(); }
