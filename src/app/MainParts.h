#pragma once

// The subsystems and adapters the main window owns, declared only: the window
// holds them by pointer, so its header needs none of their headers.
namespace audio {
class AudioEngine;
}
class AnimationWorkers;
class BellAnimation;
class BellsPanel;
class Ensemble;
class FullView;
class GroupsPanel;
class Lessons;
class MainAnimationHost;
class MainBellsHost;
class MainGroupsHost;
class MainOutputHost;
class MainPracticeHost;
class MainRingingChoicesHost;
class MainRingingLoaderHost;
class MainTransportHost;
class OutputController;
class RingingChoices;
class RingingLoader;
class ScoreEditor;
class ScoreView;
class SoundOutput;
class StrikeVoices;
class TAboutBox;
class TfrmRec;
class Trainer;
class TransportPanel;
struct StrikeSwitches;
