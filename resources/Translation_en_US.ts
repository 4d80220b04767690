<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QPagination</name>
    <message>
        <source>Text.previousPage</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <source>Text.nextPage</source>
        <translation>Next page</translation>
    </message>
</context>
<context>
    <name>AnalysisModel</name>
    <message>
        <source>Text.marker</source>
        <translation>Marker</translation>
    </message>
</context>
<context>
    <name>AudioRecorder</name>
    <message>
        <source>Dialog.signalRecord</source>
        <translation>Attach the sensor to the patient and press Start recording.</translation>
    </message>
    <message>
        <source>Dialog.signalRecordConfirm</source>
        <translation>The signal is recorded. Save it, or record it again.</translation>
    </message>
    <message>
        <source>Dialog.signalRecordInProgress</source>
        <translation>Recording the signal: keep the sensor still for three seconds…</translation>
    </message>
    <message>
        <source>Text.autospectrum</source>
        <translation>Autospectrum</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.messageRemote</source>
        <translation>Or send a command to the patient's remote device</translation>
    </message>
    <message>
        <source>Text.reRecord</source>
        <translation>Record again</translation>
    </message>
    <message>
        <source>Text.record</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Text.saveRecord</source>
        <translation>Save recording</translation>
    </message>
    <message>
        <source>Text.send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Text.startRecord</source>
        <translation>Start recording</translation>
    </message>
    <message>
        <source>Title.signalRecord</source>
        <translation>Signal recording</translation>
    </message>
    <message>
        <source>Text.recordingFailed</source>
        <translation>The recording could not go on: the sound input is not available or refuses the sensor's format. Check the sensor and try again.</translation>
    </message>
</context>
<context>
    <name>Controller</name>
    <message>
        <source>Text.insecureServiceUrl</source>
        <translation>The service address %1 is not secure, so the program does not connect to it. Ask your administrator for the right address.</translation>
    </message>
    <message>
        <source>Text.requestTimedOut</source>
        <translation>The service did not answer in time. Please try again later.</translation>
    </message>
    <message>
        <source>Text.secureConnectionFailed</source>
        <translation>A secure connection to the service could not be established. Check the computer's date and time, or ask your administrator.</translation>
    </message>
    <message>
        <source>Text.serviceError</source>
        <translation>The service could not complete the request (HTTP status %1). Please try again later.</translation>
    </message>
    <message>
        <source>Text.serviceUnreachable</source>
        <translation>The service can't be reached. Check the Internet connection and try again.</translation>
    </message>
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>The service's answer could not be read. Please try again later.</translation>
    </message>
</context>
<context>
    <name>DBusKeepAwake</name>
    <message>
        <source>Text.keepAwakeReason</source>
        <translation>An impact is playing through the sensor</translation>
    </message>
</context>
<context>
    <name>DialogAbout</name>
    <message>
        <source>Text.about</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Text.aboutEmail</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>Text.aboutProgramType</source>
        <translation>Desktop client for wellness practitioners</translation>
    </message>
    <message>
        <source>Text.aboutVersion</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Text.aboutWebsite</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>Text.close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DialogAutospectrum</name>
    <message>
        <source>Text.autospectrum</source>
        <translation>Autospectrum</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.confirm</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Text.duration</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Text.minutes</source>
        <translation> min</translation>
    </message>
</context>
<context>
    <name>DialogChangePassword</name>
    <message>
        <source>Text.cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.changePassword</source>
        <translation>Change password</translation>
    </message>
    <message>
        <source>Text.confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Text.error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Text.oldPassword</source>
        <translation>Current password</translation>
    </message>
    <message>
        <source>Text.password</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>Text.passwordRepeat</source>
        <translation>Repeat new password</translation>
    </message>
</context>
<context>
    <name>DialogLogin</name>
    <message>
        <source>Text.error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Text.password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Text.signIn</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>Text.username</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>Title.application</source>
        <translation>Sonvera</translation>
    </message>
    <message>
        <source>Text.signInExpired</source>
        <translation>Your sign-in has ended. Enter your password to carry on where you were.</translation>
    </message>
    <message>
        <source>Title.signInAgain</source>
        <translation>Sign in again</translation>
    </message>
</context>
<context>
    <name>DialogManageDevices</name>
    <message>
        <source>Text.confirmDisconnect</source>
        <translation>Disconnect the remote device from this patient?</translation>
    </message>
    <message>
        <source>Text.connect</source>
        <translation>Connect the attached sensor</translation>
    </message>
    <message>
        <source>Text.deviceNotConnected</source>
        <translation>No sensor is attached to this computer.</translation>
    </message>
    <message>
        <source>Text.disableDevice</source>
        <translation>Block the device</translation>
    </message>
    <message>
        <source>Text.disconnect</source>
        <translation>Disconnect the device</translation>
    </message>
    <message>
        <source>Text.enableDevice</source>
        <translation>Unblock the device</translation>
    </message>
    <message>
        <source>Text.manageDevices</source>
        <translation>Remote device</translation>
    </message>
    <message>
        <source>Text.titleDisconnect</source>
        <translation>Disconnect device</translation>
    </message>
    <message>
        <source>Text.deviceNotBound</source>
        <translation>No remote device is bound to this patient.</translation>
    </message>
    <message>
        <source>Text.deviceBoundEnabled</source>
        <translation>A remote device is bound to this patient and is not blocked.</translation>
    </message>
    <message>
        <source>Text.deviceBoundBlocked</source>
        <translation>A remote device is bound to this patient and is blocked.</translation>
    </message>
</context>
<context>
    <name>DialogPlayer</name>
    <message>
        <source>Text.noAudioOutput</source>
        <translation>No audio output device was found. Connect the sensor and try again.</translation>
    </message>
    <message>
        <source>Title.player</source>
        <translation>Player</translation>
    </message>
    <message>
        <source>Text.playbackStopped</source>
        <translation>The playback stopped: the sound device is no longer available.</translation>
    </message>
</context>
<context>
    <name>FormPatient</name>
    <message>
        <source>Dialog.createPatient</source>
        <translation>New patient</translation>
    </message>
    <message>
        <source>Dialog.editPatient</source>
        <translation>Edit patient</translation>
    </message>
    <message>
        <source>Form.notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Form.patientAgreement</source>
        <translation>The patient agrees to the processing of their personal data</translation>
    </message>
    <message>
        <source>Form.phone</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>Text.April</source>
        <translation>April</translation>
    </message>
    <message>
        <source>Text.August</source>
        <translation>August</translation>
    </message>
    <message>
        <source>Text.December</source>
        <translation>December</translation>
    </message>
    <message>
        <source>Text.February</source>
        <translation>February</translation>
    </message>
    <message>
        <source>Text.January</source>
        <translation>January</translation>
    </message>
    <message>
        <source>Text.July</source>
        <translation>July</translation>
    </message>
    <message>
        <source>Text.June</source>
        <translation>June</translation>
    </message>
    <message>
        <source>Text.March</source>
        <translation>March</translation>
    </message>
    <message>
        <source>Text.May</source>
        <translation>May</translation>
    </message>
    <message>
        <source>Text.November</source>
        <translation>November</translation>
    </message>
    <message>
        <source>Text.October</source>
        <translation>October</translation>
    </message>
    <message>
        <source>Text.September</source>
        <translation>September</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.day</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Text.female</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>Text.male</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>Text.name</source>
        <translation>Full name</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Text.year</source>
        <translation>Year</translation>
    </message>
</context>
<context>
    <name>ImpactAudio</name>
    <message>
        <source>Text.impactTooLong</source>
        <translation>The impact is too long to be held in memory. Choose a shorter duration.</translation>
    </message>
</context>
<context>
    <name>ImpactDownload</name>
    <message>
        <source>Text.saveFile</source>
        <translation>Save the impact as a WAV file</translation>
    </message>
    <message>
        <source>Text.errorWavSave</source>
        <translation>The WAV file could not be saved. Check that the folder exists, that you may write there and that the disk has room.</translation>
    </message>
    <message>
        <source>Text.wavTooLong</source>
        <translation>This WAV file would take %1 GB, more than the 4 GB a WAV file can hold. With these markers the longest file lasts %2 minutes: choose at most %3 minutes per marker.</translation>
    </message>
    <message>
        <source>Text.nothingToSave</source>
        <translation>The service sent no sound for these markers: there is nothing to save.</translation>
    </message>
    <message>
        <source>Text.wavSaved</source>
        <translation>Impact saved: %1</translation>
    </message>
</context>
<context>
    <name>ImpactTargets</name>
    <message>
        <source>Text.box</source>
        <translation>Remote device</translation>
    </message>
    <message>
        <source>Text.download</source>
        <translation>WAV file</translation>
    </message>
    <message>
        <source>Text.sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Text.recipeCommand</source>
        <translation>Run the recipe</translation>
    </message>
    <message>
        <source>Text.selfRecipeCommand</source>
        <translation>Patient runs the recipe</translation>
    </message>
</context>
<context>
    <name>ImpactWavSaver</name>
    <message>
        <source>Text.cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.savingWav</source>
        <translation>Saving the impact as a WAV file…</translation>
    </message>
    <message>
        <source>Title.saveWav</source>
        <translation>Saving the file</translation>
    </message>
</context>
<context>
    <name>LoadingWindow</name>
    <message>
        <source>Text.requestInProgress</source>
        <translation>Request in progress...</translation>
    </message>
    <message>
        <source>Text.stopWaiting</source>
        <translation>Stop waiting</translation>
    </message>
</context>
<context>
    <name>LockScreen</name>
    <message>
        <source>Text.password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Text.unlock</source>
        <translation>Unlock</translation>
    </message>
    <message>
        <source>Text.unlockExplanation</source>
        <translation>Locked while nobody used it. Enter the password of %1 to go on.</translation>
    </message>
    <message>
        <source>Text.unlockFailed</source>
        <translation>The password was not accepted. Please try again.</translation>
    </message>
    <message>
        <source>Text.windowLocked</source>
        <translation>Sonvera is locked</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Dialog.successChangePassword</source>
        <translation>Your password has been changed.</translation>
    </message>
    <message>
        <source>Menu.about</source>
        <translation>About Sonvera</translation>
    </message>
    <message>
        <source>Menu.application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Menu.language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Menu.password</source>
        <translation>Change password…</translation>
    </message>
    <message>
        <source>Menu.updates</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>Text.changeLocaleSuccess</source>
        <translation>The interface language has been changed.</translation>
    </message>
    <message>
        <source>Text.closeMessage</source>
        <translation>Do you want to quit the program?</translation>
    </message>
    <message>
        <source>Text.closeTitle</source>
        <translation>Quit Sonvera</translation>
    </message>
    <message>
        <source>Text.impactFinished</source>
        <translation>The impact has finished.</translation>
    </message>
    <message>
        <source>Text.upToDate</source>
        <translation>You are using the latest version of Sonvera.</translation>
    </message>
    <message>
        <source>Text.updatesAvailable</source>
        <translation>A newer version of Sonvera is available. Please contact support to get it.</translation>
    </message>
    <message>
        <source>Text.updatesTitle</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>Title.application</source>
        <translation>Sonvera</translation>
    </message>
    <message>
        <source>Text.nothingToPlay</source>
        <translation>There is nothing to play: the service sent no sound for these markers.</translation>
    </message>
    <message>
        <source>Text.impact</source>
        <translation>Impact</translation>
    </message>
</context>
<context>
    <name>PatientAutospectrum</name>
    <message>
        <source>Text.autospectrum</source>
        <translation>Autospectrum</translation>
    </message>
    <message>
        <source>Text.playerActive</source>
        <translation>A sound is already playing. Stop the player before starting an autospectrum.</translation>
    </message>
    <message>
        <source>Text.autospectrumEmpty</source>
        <translation>The service sent no sound for the autospectrum. Please try again.</translation>
    </message>
</context>
<context>
    <name>PatientDeviceActions</name>
    <message>
        <source>Text.deviceConnectSuccess</source>
        <translation>The sensor is now the patient's remote device.</translation>
    </message>
    <message>
        <source>Text.deviceDisconnectSuccess</source>
        <translation>The remote device has been disconnected.</translation>
    </message>
    <message>
        <source>Text.deviceStatusChangeSuccess</source>
        <translation>The state of the remote device has been changed.</translation>
    </message>
    <message>
        <source>Text.commandSuccess</source>
        <translation>The command has been sent to the remote device.</translation>
    </message>
    <message>
        <source>Text.deleteCommandTitle</source>
        <translation>Cancel command</translation>
    </message>
    <message>
        <source>Text.deleteCommandMessage</source>
        <translation>Cancel the command sent to the patient's remote device?</translation>
    </message>
    <message>
        <source>Text.deleteCommandSuccess</source>
        <translation>The command has been cancelled.</translation>
    </message>
</context>
<context>
    <name>PatientExport</name>
    <message>
        <source>Text.exportInvalid</source>
        <translation>The service sent an export that cannot be read. Please try again.</translation>
    </message>
    <message>
        <source>Text.saveFile</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>Text.errorSaveFile</source>
        <translation>The file could not be saved. Choose another folder or free some disk space.</translation>
    </message>
    <message>
        <source>Text.exportSaved</source>
        <translation>Spreadsheet saved: %1</translation>
    </message>
</context>
<context>
    <name>PatientManager</name>
    <message>
        <source>Text.invalidBirthDate</source>
        <translation>Please enter a valid date of birth.</translation>
    </message>
    <message>
        <source>Text.invalidName</source>
        <translation>Please enter the patient's name.</translation>
    </message>
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>The service's answer could not be read. Please try again later.</translation>
    </message>
</context>
<context>
    <name>PatientModel</name>
    <message>
        <source>Text.age</source>
        <translation>Age</translation>
    </message>
    <message>
        <source>Text.deviceNotConnected</source>
        <translation>No device connected</translation>
    </message>
    <message>
        <source>Text.gender</source>
        <translation>Gender</translation>
    </message>
    <message>
        <source>Text.lastRecordDate</source>
        <translation>Last record</translation>
    </message>
    <message>
        <source>Text.name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Text.noCommands</source>
        <translation>No commands sent</translation>
    </message>
    <message>
        <source>Text.notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Text.phone</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>Text.recipeComplete</source>
        <translation>Recipe complete</translation>
    </message>
    <message>
        <source>Text.recipeInProgress</source>
        <translation>Recipe in progress</translation>
    </message>
    <message>
        <source>Text.recordComplete</source>
        <translation>Recording complete</translation>
    </message>
    <message>
        <source>Text.recordInProgress</source>
        <translation>Recording in progress</translation>
    </message>
    <message>
        <source>Text.male</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>Text.female</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>Text.editPatient</source>
        <translation>Edit the patient</translation>
    </message>
    <message>
        <source>Text.deletePatient</source>
        <translation>Delete the patient</translation>
    </message>
</context>
<context>
    <name>PatientParticulars</name>
    <message>
        <source>Text.edit</source>
        <translation>Edit the patient</translation>
    </message>
    <message>
        <source>Form.age</source>
        <translation>Age</translation>
    </message>
    <message>
        <source>Form.gender</source>
        <translation>Gender</translation>
    </message>
    <message>
        <source>Form.phone</source>
        <translation>Phone</translation>
    </message>
</context>
<context>
    <name>PatientRecordsTable</name>
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>The service's answer could not be read. Please try again later.</translation>
    </message>
    <message>
        <source>Text.recordingKept</source>
        <translation>The recording could not be sent: %1
It is kept on this computer and sent by itself when the service answers again.</translation>
    </message>
</context>
<context>
    <name>PatientSideBar</name>
    <message>
        <source>Text.newRecord</source>
        <translation>New record</translation>
    </message>
    <message>
        <source>Text.autospectrum</source>
        <translation>Autospectrum</translation>
    </message>
    <message>
        <source>Text.analysis</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Text.comparativeAnalysis</source>
        <translation>Comparative analysis</translation>
    </message>
    <message>
        <source>Text.recoveryHistory</source>
        <translation>Recovery history</translation>
    </message>
    <message>
        <source>Text.receipt</source>
        <translation>Recipe</translation>
    </message>
    <message>
        <source>Text.excelExport</source>
        <translation>Export to Excel</translation>
    </message>
    <message>
        <source>Text.deletePatient</source>
        <translation>Delete patient</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Dialog.confirmDeletePatient</source>
        <translation>Delete the patient %1 and all their records?</translation>
    </message>
    <message>
        <source>Dialog.confirmDeleteRecord</source>
        <translation>Delete the record of %1?</translation>
    </message>
    <message>
        <source>Dialog.deletePatient</source>
        <translation>Delete patient</translation>
    </message>
    <message>
        <source>Dialog.deleteRecord</source>
        <translation>Delete record</translation>
    </message>
    <message>
        <source>Text.error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Text.no</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Text.success</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>Text.yes</source>
        <translation>Yes</translation>
    </message>
</context>
<context>
    <name>ReceiptModel</name>
    <message>
        <source>Text.amountFrequencies</source>
        <translation>Frequencies</translation>
    </message>
    <message>
        <source>Text.marker</source>
        <translation>Marker</translation>
    </message>
    <message>
        <source>Text.matchPercent</source>
        <translation>Match</translation>
    </message>
    <message>
        <source>Text.noDescription</source>
        <translation>No description</translation>
    </message>
</context>
<context>
    <name>RecipeLeaving</name>
    <message>
        <source>Text.confirmSave</source>
        <translation>The recipe has unsaved changes. Save them before leaving?</translation>
    </message>
    <message>
        <source>Text.saving</source>
        <translation>Saving the recipe</translation>
    </message>
</context>
<context>
    <name>RecordModel</name>
    <message>
        <source>Text.doctorName</source>
        <translation>Practitioner</translation>
    </message>
    <message>
        <source>Text.no</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Text.questionnaire</source>
        <translation>Questionnaire</translation>
    </message>
    <message>
        <source>Text.recordedAt</source>
        <translation>Recorded at</translation>
    </message>
    <message>
        <source>Text.yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Text.recordEditable</source>
        <translation>The record can still be changed</translation>
    </message>
    <message>
        <source>Text.recordClosed</source>
        <translation>The record can no longer be changed</translation>
    </message>
    <message>
        <source>Text.deleteRecord</source>
        <translation>Delete the record</translation>
    </message>
</context>
<context>
    <name>ReportOutput</name>
    <message>
        <source>Text.print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Text.printFailed</source>
        <translation>The report could not be printed.</translation>
    </message>
    <message>
        <source>Text.savePdf</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>Text.pdfFiles</source>
        <translation>PDF files</translation>
    </message>
    <message>
        <source>Text.pdfNotSaved</source>
        <translation>The PDF file %1 could not be written.</translation>
    </message>
    <message>
        <source>Text.pdfSaved</source>
        <translation>The report was saved as %1.</translation>
    </message>
</context>
<context>
    <name>ReportPageFrame</name>
    <message>
        <source>Text.reportRecords</source>
        <translation>Records: %1</translation>
    </message>
    <message>
        <source>Text.pageOf</source>
        <translation>Page %1 of %2</translation>
    </message>
</context>
<context>
    <name>ResendingCall</name>
    <message>
        <source>Text.giveUp</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.serviceUnreachableTitle</source>
        <translation>No connection to the service</translation>
    </message>
    <message>
        <source>Text.tryAgain</source>
        <translation>Try again</translation>
    </message>
</context>
<context>
    <name>ScreenHeading</name>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Patients</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Patient card: %1</translation>
    </message>
    <message>
        <source>Text.recipeScreen</source>
        <translation>Recipe</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>The patient has a remote device</translation>
    </message>
</context>
<context>
    <name>ServiceAnswer</name>
    <message>
        <source>Text.unreadableAnswer</source>
        <translation>The service's answer could not be read. Please try again later.</translation>
    </message>
</context>
<context>
    <name>SummaryTableModel</name>
    <message>
        <source>Text.category</source>
        <translation>Category</translation>
    </message>
</context>
<context>
    <name>SymptomModel</name>
    <message>
        <source>Complaint.none</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Complaint.periodic</source>
        <translation>Periodic</translation>
    </message>
    <message>
        <source>Complaint.moderate</source>
        <translation>Moderate</translation>
    </message>
    <message>
        <source>Complaint.expressed</source>
        <translation>Expressed</translation>
    </message>
</context>
<context>
    <name>SymptomsTable</name>
    <message>
        <source>Text.symptom</source>
        <translation>Symptom</translation>
    </message>
    <message>
        <source>Text.complaintsNumber</source>
        <translation>Number of complaints</translation>
    </message>
    <message>
        <source>Text.severity</source>
        <translation>Severity</translation>
    </message>
</context>
<context>
    <name>ViewAnalysis</name>
    <message>
        <source>Title.analysis</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>List of patients</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Patient card: %1</translation>
    </message>
    <message>
        <source>Text.tabSummaryTable</source>
        <translation>Summary table</translation>
    </message>
    <message>
        <source>Text.tabMarkersAnalysis</source>
        <translation>Markers analysis</translation>
    </message>
    <message>
        <source>Text.analyse</source>
        <translation>Analyse</translation>
    </message>
    <message>
        <source>Text.print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Text.savePdf</source>
        <translation>Save as PDF</translation>
    </message>
</context>
<context>
    <name>ComparativeChart</name>
    <message>
        <source>Text.noChartData</source>
        <translation>No values for these records</translation>
    </message>
</context>
<context>
    <name>ViewComparativeAnalysis</name>
    <message>
        <source>Text.chartCategories</source>
        <translation>Deviation by category</translation>
    </message>
    <message>
        <source>Text.chartBands</source>
        <translation>Frequency bands</translation>
    </message>
    <message>
        <source>Text.chartBalance</source>
        <translation>Imbalance and its trend</translation>
    </message>
    <message>
        <source>Text.chartComplaints</source>
        <translation>Complaints</translation>
    </message>
    <message>
        <source>Title.comparativeAnalysis</source>
        <translation>Comparative analysis</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>List of patients</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Patient card: %1</translation>
    </message>
    <message>
        <source>Text.print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Text.savePdf</source>
        <translation>Save as PDF</translation>
    </message>
</context>
<context>
    <name>ViewImpact</name>
    <message>
        <source>Text.addToRecipe</source>
        <translation>Back to the recipe</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>The patient has a remote device</translation>
    </message>
    <message>
        <source>Text.durationInMinutes</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Text.durationPerMarker</source>
        <translation>Duration per marker</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Patients</translation>
    </message>
    <message>
        <source>Text.minutes</source>
        <translation>min</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Patient card: %1</translation>
    </message>
    <message>
        <source>Text.recipe</source>
        <translation>Impact for %1, record of %2</translation>
    </message>
    <message>
        <source>Text.recipeCommandSuccess</source>
        <translation>The recipe was sent to the patient's device.</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Text.start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Text.totalMarkers</source>
        <translation>Frequencies: %1</translation>
    </message>
    <message>
        <source>Text.totalTime</source>
        <translation>Total: %1 min</translation>
    </message>
    <message>
        <source>Text.impactMarkers</source>
        <translation>Markers of the impact, in the order they run</translation>
    </message>
    <message>
        <source>Text.impactTableKeys</source>
        <translation>Ctrl+Up and Ctrl+Down move the marker, Delete removes it from the recipe.</translation>
    </message>
</context>
<context>
    <name>ViewPatient</name>
    <message>
        <source>Text.deleteCommand</source>
        <translation>Cancel the command sent to the remote device</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>Remote device</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>List of patients</translation>
    </message>
    <message>
        <source>Text.manageDevice</source>
        <translation>Remote device</translation>
    </message>
    <message>
        <source>Text.refresh</source>
        <translation>Refresh the records</translation>
    </message>
    <message>
        <source>Title.patientView</source>
        <translation>Patient card</translation>
    </message>
    <message>
        <source>Title.patientViewTable</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>Text.recordsTableKeys</source>
        <translation>Space ticks the record for the analyses, Ctrl+A ticks or unticks them all, Delete deletes the record.</translation>
    </message>
</context>
<context>
    <name>ViewPatients</name>
    <message>
        <source>Text.listPatients</source>
        <translation>Patients</translation>
    </message>
    <message>
        <source>Text.name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Text.newPatient</source>
        <translation>New patient</translation>
    </message>
    <message>
        <source>Text.notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Text.patientSearch</source>
        <translation>Search patients</translation>
    </message>
    <message>
        <source>Text.refresh</source>
        <translation>Refresh the list</translation>
    </message>
    <message>
        <source>Title.patients</source>
        <translation>Patients</translation>
    </message>
    <message>
        <source>Text.searchIn</source>
        <translation>Search in</translation>
    </message>
    <message>
        <source>Text.patientsTableKeys</source>
        <translation>Enter opens the patient's card, F2 edits the patient, Delete deletes the patient.</translation>
    </message>
</context>
<context>
    <name>ViewReceipt</name>
    <message>
        <source>Text.createRecipe</source>
        <translation>Recipe for %1, record of %2</translation>
    </message>
    <message>
        <source>Text.deviceConnected</source>
        <translation>The patient has a remote device</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>Patients</translation>
    </message>
    <message>
        <source>Text.load</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Patient card: %1</translation>
    </message>
    <message>
        <source>Text.receipt</source>
        <translation>To the impact</translation>
    </message>
    <message>
        <source>Text.savedRecipeShown</source>
        <translation>The saved recipe of this record. Choose a storage and press Load to see its analysis and add markers.</translation>
    </message>
    <message>
        <source>Text.recipeMarkers</source>
        <translation>Markers of the recipe</translation>
    </message>
    <message>
        <source>Text.recipeTableKeys</source>
        <translation>Space in the marker column takes the marker into the recipe or out of it.</translation>
    </message>
</context>
<context>
    <name>ViewRecoveryHistory</name>
    <message>
        <source>Title.historyOfRecovery</source>
        <translation>Recovery history</translation>
    </message>
    <message>
        <source>Text.listOfPatients</source>
        <translation>List of patients</translation>
    </message>
    <message>
        <source>Text.patientCard</source>
        <translation>Patient card: %1</translation>
    </message>
    <message>
        <source>Text.refresh</source>
        <translation>Reload the history</translation>
    </message>
    <message>
        <source>Text.newSymptom</source>
        <translation>New symptom</translation>
    </message>
    <message>
        <source>Text.save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Text.removeSymptom</source>
        <translation>Remove symptom</translation>
    </message>
    <message>
        <source>Text.confirmDiscard</source>
        <translation>The history has unsaved changes. Reload it and lose them?</translation>
    </message>
    <message>
        <source>Text.symptomNameBlank</source>
        <translation>Enter the symptom's name.</translation>
    </message>
    <message>
        <source>Text.symptomNameTooLong</source>
        <translation>A symptom's name can have at most %1 characters.</translation>
    </message>
    <message>
        <source>Text.symptomNameDigits</source>
        <translation>A symptom's name can't be made of digits only.</translation>
    </message>
    <message>
        <source>Text.symptomNameTaken</source>
        <translation>The symptom "%1" is already in the history.</translation>
    </message>
    <message>
        <source>Text.symptomName</source>
        <translation>Name of the symptom:</translation>
    </message>
    <message>
        <source>Text.cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Text.saving</source>
        <translation>Saving</translation>
    </message>
    <message>
        <source>Text.confirmSave</source>
        <translation>The history has unsaved changes. Save them before leaving?</translation>
    </message>
    <message>
        <source>Text.historySaved</source>
        <translation>The service saved the recovery history of %1.</translation>
    </message>
    <message>
        <source>Text.symptomsTableKeys</source>
        <translation>Enter or F2 chooses the intensity of the symptom on that date.</translation>
    </message>
</context>
<context>
    <name>WaitingRecordingsPanel</name>
    <message>
        <source>Text.recordingsWaitingTitle</source>
        <translation>Recordings waiting to be sent to the service</translation>
    </message>
    <message>
        <source>Text.recordingWaiting</source>
        <translation>Waiting to be sent</translation>
    </message>
    <message>
        <source>Text.recordingSending</source>
        <translation>Sending…</translation>
    </message>
    <message>
        <source>Text.sendNow</source>
        <translation>Send now</translation>
    </message>
</context>
<context>
    <name>ImpactModel</name>
    <message>
        <source>Text.moveUp</source>
        <translation>Move the marker up</translation>
    </message>
    <message>
        <source>Text.moveDown</source>
        <translation>Move the marker down</translation>
    </message>
    <message>
        <source>Text.removeMarker</source>
        <translation>Remove the marker from the recipe</translation>
    </message>
</context>
</TS>
