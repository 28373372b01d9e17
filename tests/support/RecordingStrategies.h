#pragma once

// Progress and result strategies that record what the code under test told them.

#include "SocialServices.h"

#include <QStringList>

#include <vector>

namespace TestSupport {

class RecordingProgress : public Tavrix::RQ::IProgressStrategy
{
public:
    struct Step
    {
        float fraction;
        QTime elapsed;
        QTime remaining;
    };

    void SetProgressText(const TextGetter&) override { calls << QStringLiteral("SetProgressText"); }
    void SetAccelerationInfo(const TextGetter&) override { calls << QStringLiteral("SetAccelerationInfo"); }
    void SetSaveFormatTextGetter(const TextGetter& getter) override
    {
        calls << QStringLiteral("SetSaveFormatTextGetter");
        textGetter = getter;
    }
    void Process(float fraction, const QTime& elapsed, const QTime& remaining) override
    {
        calls << QStringLiteral("Process");
        steps.push_back({fraction, elapsed, remaining});
    }
    void OnPause() override { calls << QStringLiteral("OnPause"); }
    void OnResume() override { calls << QStringLiteral("OnResume"); }
    void OnStart(const Tavrix::RQ::ConvertationContext& context) override
    {
        calls << QStringLiteral("OnStart");
        started = context;
    }
    void OnStop() override { calls << QStringLiteral("OnStop"); }

    QStringList calls;
    TextGetter textGetter;
    std::vector<Step> steps;
    Tavrix::RQ::ConvertationContext started;
};

class RecordingResult
    : public Tavrix::RQ::IResultStrategy<Tavrix::RQ::Service::Sharing::SharingResultContext, Tavrix::Social::RequestResult>
{
public:
    struct Outcome
    {
        Tavrix::RQ::Service::Sharing::SharingResultContext context;
        Tavrix::Social::RequestResult result;
    };

    void SetSuccessText(const std::function<QString()>&) override {}
    void Process(const Tavrix::RQ::Service::Sharing::SharingResultContext& context,
                 const Tavrix::Social::RequestResult& result) override
    {
        outcomes.push_back({context, result});
    }

    std::vector<Outcome> outcomes;
};

} // namespace TestSupport
