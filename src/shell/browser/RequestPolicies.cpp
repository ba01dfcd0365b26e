#include "shell/browser/RequestPolicies.h"

TGateVerdict TRequestPolicies::Ask(const TGateRequest& request) const
{
    TGateVerdict verdict;
    for (const TRequestPolicy& policy : m_policies) {
        policy(request, verdict);
        if (verdict.Refused) {
            verdict.Headers.clear();
            break;
        }
    }
    return verdict;
}
